// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The splash window: loads or creates the data files, one per timer tick, and
// applies the two settings.
#include <QString>
#include <QWidget>

namespace Ui { class TForm_uvod; }
class TForm1;
class QTimer;

class TForm_uvod : public QWidget
{
    Q_OBJECT
public:
    explicit TForm_uvod(TForm1 *form1);
    ~TForm_uvod() override;

    // A settings line is on exactly when its characters 4 to 7 read "true";
    // its prefix is never looked at.
    static bool settingOn(const QString &line);

    Ui::TForm_uvod *ui;
    TForm1 *Form1;
    int krok = 0;
    QTimer *Timer1;

public slots:
    void Timer1Timer();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void placeOverMainWindow();
    void dataFileStep(const QString &fileName);
    void settingsFileStep();
    void applySettings();
    void closeSplash();
    void fillListBox1(const QStringList &lines);
    bool saveListBox1(const QString &fileName);
};
