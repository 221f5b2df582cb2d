// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The main window: number entry, check digit, report, database view, listings,
// reference lists, help pages and the two settings.
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "storage.h"

namespace Ui { class TForm1; }
class QLabel;
class QMenu;
class QLineEdit;
class DatabaseModel;
class TForm_databaze;

class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    Ui::TForm1 *ui;
    // The add window, created by program entry after this window.
    TForm_databaze *Form_databaze = nullptr;

    // Unit-level values.
    QString cislice[13];    // positions 1..12 used; 0 unused
    int pocet_cislic = 11;  // 11 wagons, 6 locomotives
    int strana_napovedy = 0;
    // The file of the reference list in the pane as last read or written.
    storage::FileStamp listStamp;
    // The pane's text after the last merge that left changes unapplied; empty otherwise.
    QString lastMergeReport;
    // The list's text as read: "Ulož" writes it back as it was while the
    // pane is unedited, line ends inside a line included.
    QString listText;

    // The four status-bar panels (0 line count, 1 selected line, 2 change count, 3 vehicle).
    QString panel(int index) const;
    void setPanel(int index, const QString &text);
    QLabel *panelLabel(int index) const;
    // Caption of lbl_databaze, which names the shown database, and the name
    // of the list for assistive technology.
    void setDatabaseCaption(const QString &caption);

    // The lines of lbx_databaze.
    DatabaseModel *databaze() const { return m_databaze; }
    // Selected row of lbx_databaze, -1 when none.
    int selectedRow() const;
    void selectRow(int row);

    // Context menus and the drop-down of tbtn_vypisy.
    QMenu *PopupMenu_databaze = nullptr;
    QMenu *PopupMenu_form1 = nullptr;
    QMenu *pmenu_vypisy = nullptr;


    // Raises the change count of panel 2 by one.
    void raiseChangeCount();
    // Writes the shown list to its file; on failure the general error box names
    // the file and false is returned. When another program wrote the file
    // since it was read, the clerk is asked, and Yes merges this session's
    // changes into it: the list shows the result and the pane what was not
    // applied (also kept in lastMergeReport while it names such changes).
    bool saveDatabaseTo(const QString &fileName);
    // Replaces the list's lines by the lines of fileName. When it cannot be
    // read the list is emptied; a file that exists but cannot be read is
    // reported in the general error box and nothing is shown any more, so
    // that nothing can be saved over it.
    storage::LoadStatus loadDatabaseFrom(const QString &fileName);
    // True (after the general error box naming it) when fileName exists but
    // cannot be read: a command that would load it stops before it asks or
    // changes anything.
    bool refuseUnreadable(const QString &fileName);
    // Before a reference list is written over: when another program wrote it
    // since we last read or wrote it, the user decides. True to write.
    bool mayOverwrite(const QString &fileName, const storage::FileStamp &lastKnown);

public slots:
    // Number entry, the check digit and the report.
    void edt_rezimChange();
    void edt_vlastnikChange();
    void edt_charakteristikaChange();
    void edt_evidenceChange();
    void edt_rezimClick();
    void edt_vlastnikClick();
    void edt_charakteristikaClick();
    void edt_evidenceClick();
    void rbtn_lokomotivyClick();
    void rbtn_vozyClick();
    void FormActivate();
    void btn_pocitejClick();

    // Database view and editing.
    void uloitvozidlo1Click();
    void Uloitdatabzi1Click();
    void Lokomotivy1Click();
    void Vozy1Click();
    void lbx_databazeClick();
    void lbx_databazeExit(QWidget *receivingFocus, Qt::FocusReason reason);
    void lbx_databazeContextPopup(const QPoint &pos);
    void btn_smazClick();
    void Btn_upravitClick();
    void btn_zalozkaClick();
    // Returns true when the window may close.
    bool FormClose();

    // Listings.
    void Podleady1Click();
    void PodleDKV2Click();
    void Podleprovoznjednotky1Click();
    void PodleCharakteristiky1Click();
    void PodleDKV1Click();
    void PodleDomovskstanice1Click();
    // Check of the numbers of the wagon / locomotive database.
    void Kontrolasel1Click();
    void Kontrolasel2Click();

    // Reference lists.
    void Reimvozu2Click();
    void Vlastnkvozu1Click();
    void Charakteristika561Click();
    void Charakteristika781Click();
    void btn_ulozClick();
    void Doplnitstandardnkdy1Click();

    // Printing and saving the pane.
    void Memo1Change();
    void paneHeadingChanged(const QString &heading);
    void Tiskvpisu1Click();
    void Uloitvpis1Click();

    // Settings.
    void technikaClick();
    void udrzbaClick();

    // Help and About.
    void n1Click();
    void n2Click();
    void n3Click();
    void n4Click();
    void n5Click();
    void n6Click();
    void n7Click();
    void bitbtn_napoveda_daleClick();
    void BitBtn_napoveda_zpetClick();
    void Oprogramu1Click();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void setupMenus();
    void setupStatusBar();
    void changeRule(QLineEdit *field);
    void clickRule(QLineEdit *field);
    bool numberFieldPaste(QLineEdit *field, QEvent *e);
    bool pasteWholeNumber(const QString &text);
    void moveFocusTo(QWidget *w);
    // The focus left one of the three editing buttons of the list.
    void editButtonExit(QWidget *receivingFocus);
    void setKontrolka(const QString &text);
    void showHelpPage(int page);
    void vehicleReport();

    DatabaseModel *m_databaze = nullptr;
    // The shown database's file as last read or written.
    storage::FileStamp m_databaseStamp;
    QLabel *m_panels[4] = {};
};
