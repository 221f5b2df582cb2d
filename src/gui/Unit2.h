// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The add window: a computed vehicle, an edited line or a run of serials into
// the shown database, with the technical and maintenance panels.
#include <QDialog>
#include <QString>

namespace Ui { class TForm_databaze; }
class QDate;
class QLabel;
class TForm1;

class TForm_databaze : public QDialog
{
    Q_OBJECT
public:
    explicit TForm_databaze(TForm1 *form1);
    ~TForm_databaze() override;

    Ui::TForm_databaze *ui;
    TForm1 *Form1;

    // Shows the window afresh for the vehicle of panel 3, beside the main
    // window, and runs its activation rules whether or not the window
    // manager activates it.
    void openWindow();

    // "15. dubna 2008": day, full stop, the Czech month name, year.
    static QString dateText(const QDate &date);

public slots:
    void FormActivate();
    void btn_pridatClick();
    void btn_zavritClick();
    void btn_serieClick();
    void btn_datum_revizeClick();
    void btn_pmClick();
    void btn_poClick();
    void btn_kotouceClick();

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void nameControls();
    void setOuterSize(int width, int height);
    void placeBesideMainWindow();
    bool allocationTexts(QString &dkv, QString &domovka);
    enum class Target { Shown, Loaded, Missing, Cancelled };
    Target showTarget(bool lokomotiva);
    void replaceEditedLine(const QString &number, const QString &line);
    void finishWrite(const QString &result, bool missing);
    void writeDate(QLabel *label);

    // Whether the main window's list changed since this window was last opened.
    bool m_listChangedSinceOpening = false;
};
