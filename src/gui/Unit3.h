#pragma once
// The splash window: loads or creates the data files, one per timer tick, and
// applies the two settings.
#include <QWidget>

class TForm1;
class QTimer;

class TForm_uvod : public QWidget
{
    Q_OBJECT
public:
    explicit TForm_uvod(TForm1 *form1);
    ~TForm_uvod() override;

    TForm1 *Form1;
    int krok = 0;
    QTimer *Timer1;

public slots:
    void Timer1Timer();
};
