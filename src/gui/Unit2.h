#pragma once
// The add window: a computed vehicle, an edited line or a run of serials into
// the shown database, with the technical and maintenance panels.
#include <QDialog>

class TForm1;

class TForm_databaze : public QDialog
{
    Q_OBJECT
public:
    explicit TForm_databaze(TForm1 *form1);
    ~TForm_databaze() override;

    TForm1 *Form1;

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
};
