#include "Unit3.h"

#include "Unit1.h"

#include <QTimer>

TForm_uvod::TForm_uvod(TForm1 *form1)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), Form1(form1)
{
    setObjectName(QStringLiteral("Form_uvod"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TForm_uvod::Timer1Timer);
    Timer1->start();
}

TForm_uvod::~TForm_uvod() = default;

void TForm_uvod::Timer1Timer()
{
    ++krok;
    if (krok >= 10) {
        Timer1->stop();
        close();
    }
}
