#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "app.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Pictures, Czech texts and the title "Trakvid" of the task-bar button and
    // of the error boxes.
    trakvid::initApplication(app);

    // Created first, the main window is the one whose closing ends the program.
    TForm1 form1;
    form1.show();
    // The add window stays hidden until a command asks for it.
    TForm_databaze form_databaze(&form1);
    form1.Form_databaze = &form_databaze;
    // The splash comes up above the main window; its timer is already running.
    TForm_uvod form_uvod(&form1);
    form_uvod.show();

    return app.exec();
}
