#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "app.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    trakvid::initApplication(app);

    TForm1 form1;
    form1.show();
    TForm_databaze form_databaze(&form1);
    form1.Form_databaze = &form_databaze;
    TForm_uvod form_uvod(&form1);
    form_uvod.show();
    return app.exec();
}
