// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Main window: construction, number entry and check digit. The other commands
// of this window live in the Unit1_*.cpp files, one per area.
#include "Unit1.h"
#include "ui_Unit1.h"

#include "Unit2.h"
#include "boxes.h"
#include "databasemodel.h"
#include "jpeg.h"
#include "numbering.h"
#include "outputpane.h"
#include "outputview.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <vector>

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::TForm1)
{
    ui->setupUi(this);
    // The classic size, where the screen has room for it with a title bar.
    QSize start(708, 542 + menuBar()->sizeHint().height());
    if (const QScreen *s = screen())
        start = start.boundedTo(s->availableSize() - QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    resize(start);

    m_databaze = new DatabaseModel(this);
    ui->lbx_databaze->setModel(m_databaze);

    ui->Image1->setPixmap(QPixmap::fromImage(jpeg::load(QStringLiteral(":/images/logo.jpg"))));

    setupStatusBar();
    setupMenus();
    // The standard codes are offered exactly while the heading names a list that has them.
    connect(ui->Memo1, &OutputPane::headingChanged, this, &TForm1::paneHeadingChanged);
    ui->Memo1->setHeadingLabel(ui->lbl_databaze_memo);

    // Number entry.
    connect(ui->edt_rezim, &QLineEdit::textChanged, this, &TForm1::edt_rezimChange);
    connect(ui->edt_vlastnik, &QLineEdit::textChanged, this, &TForm1::edt_vlastnikChange);
    connect(ui->edt_charakteristika, &QLineEdit::textChanged, this, &TForm1::edt_charakteristikaChange);
    connect(ui->edt_evidence, &QLineEdit::textChanged, this, &TForm1::edt_evidenceChange);
    for (QLineEdit *field : {ui->edt_rezim, ui->edt_vlastnik, ui->edt_charakteristika, ui->edt_evidence})
        field->installEventFilter(this);
    // A switch runs when its button becomes selected, however that happens.
    // An arrow key selects the next radio button first and focuses it after
    // the switch gave the focus to the first field: the focus is taken back
    // there, so that the digits typed next are not lost.
    const std::pair<QRadioButton *, void (TForm1::*)()> switches[] = {
        {ui->rbtn_lokomotivy, &TForm1::rbtn_lokomotivyClick}, {ui->rbtn_vozy, &TForm1::rbtn_vozyClick}};
    for (const auto &[button, handler] : switches) {
        connect(button, &QRadioButton::toggled, this, [this, handler = handler](bool on) {
            if (!on)
                return;
            (this->*handler)();
            QMetaObject::invokeMethod(this, [this] {
                if (focusWidget() == ui->rbtn_vozy || focusWidget() == ui->rbtn_lokomotivy)
                    moveFocusTo(ui->edt_rezim);
            }, Qt::QueuedConnection);
        });
    }
    connect(ui->BitBtn_zadano, &QPushButton::clicked, this, &TForm1::btn_pocitejClick);

    // Database list and its buttons.
    // A mouse click makes the line current before it selects it: report the selection.
    connect(ui->lbx_databaze->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TForm1::lbx_databazeClick);
    connect(ui->lbx_databaze, &QListView::doubleClicked, this, &TForm1::btn_smazClick);
    connect(ui->lbx_databaze, &QWidget::customContextMenuRequested, this, &TForm1::lbx_databazeContextPopup);
    ui->lbx_databaze->installEventFilter(this);
    ui->lbx_databaze->viewport()->installEventFilter(this);
    for (QPushButton *button : {ui->btn_smaz, ui->Btn_upravit, ui->btn_zalozka})
        button->installEventFilter(this);
    connect(ui->btn_smaz, &QPushButton::clicked, this, &TForm1::btn_smazClick);
    connect(ui->Btn_upravit, &QPushButton::clicked, this, &TForm1::Btn_upravitClick);
    connect(ui->btn_zalozka, &QPushButton::clicked, this, &TForm1::btn_zalozkaClick);

    connect(ui->btn_uloz, &QPushButton::clicked, this, &TForm1::btn_ulozClick);
    connect(ui->Memo1, &OutputPane::textChanged, this, &TForm1::Memo1Change);
    Memo1Change();
    // The pane's view, editor and find field come after "Zadáno" for Tab, whichever is shown.
    QWidget::setTabOrder(ui->BitBtn_zadano, ui->Memo1->view());
    QWidget::setTabOrder(ui->Memo1->view(), ui->Memo1->editor());
    QWidget::setTabOrder(ui->Memo1->editor(), ui->Memo1->findField());
    QWidget::setTabOrder(ui->Memo1->findField(), ui->btn_uloz);
    connect(ui->bitbtn_napoveda_dale, &QPushButton::clicked, this, &TForm1::bitbtn_napoveda_daleClick);
    connect(ui->BitBtn_napoveda_zpet, &QPushButton::clicked, this, &TForm1::BitBtn_napoveda_zpetClick);

    // The first field is active at start with its placeholder selected, so the
    // first digit typed replaces it.
    ui->edt_rezim->setFocus();
    ui->edt_rezim->selectAll();

    // Bookmarks, listing values and file lines reach labels: never as markup.
    for (QLabel *label : findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
}

TForm1::~TForm1()
{
    delete ui;
}

void TForm1::setupStatusBar()
{
    static const int widths[4] = {220, 100, 45, 50};
    static const char16_t *const texts[4] = {u"Soubor", u"Řádek:", u"Editace", u"Nové vozidlo"};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(QString::fromUtf16(texts[i]), ui->StatusBar1);
        label->setObjectName(QStringLiteral("StatusBar1_panel%1").arg(i));
        label->setMinimumWidth(widths[i]);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        ui->StatusBar1->addWidget(label, i == 3 ? 1 : 0);
        m_panels[i] = label;
        setPanel(i, label->text());
    }
}

void TForm1::setupMenus()
{
    // Several commands reach one handler: menu items, tool buttons, the drop-down.
    auto bind = [this](std::initializer_list<QAction *> actions, void (TForm1::*handler)()) {
        for (QAction *a : actions)
            connect(a, &QAction::triggered, this, handler);
    };
    bind({ui->uloitvozidlo1, ui->ulozit_vozidlo}, &TForm1::uloitvozidlo1Click);
    bind({ui->Uloitdatabzi1, ui->uoloz_databazi}, &TForm1::Uloitdatabzi1Click);
    bind({ui->Lokomotivy1, ui->tbtn_loko}, &TForm1::Lokomotivy1Click);
    bind({ui->Vozy1, ui->tbtb_vozy}, &TForm1::Vozy1Click);
    bind({ui->PodleCharakteristiky1, ui->pmenu_Charakteristika1}, &TForm1::PodleCharakteristiky1Click);
    bind({ui->PodleDKV1, ui->pmenu_DKV1}, &TForm1::PodleDKV1Click);
    bind({ui->PodleDomovskstanice1, ui->pmenu_Domovstanice1}, &TForm1::PodleDomovskstanice1Click);
    bind({ui->Podleady1, ui->pmenu_ada1}, &TForm1::Podleady1Click);
    bind({ui->PodleDKV2, ui->pmenu_DKV2}, &TForm1::PodleDKV2Click);
    bind({ui->Podleprovoznjednotky1, ui->pmenu_PJ1}, &TForm1::Podleprovoznjednotky1Click);
    bind({ui->Kontrolasel1, ui->pmenu_Kontrolasel1}, &TForm1::Kontrolasel1Click);
    bind({ui->Kontrolasel2, ui->pmenu_Kontrolasel2}, &TForm1::Kontrolasel2Click);
    bind({ui->Reimvozu2, ui->tbtn_reimv_ozu}, &TForm1::Reimvozu2Click);
    bind({ui->Vlastnkvozu1, ui->tbtn_vlastnik}, &TForm1::Vlastnkvozu1Click);
    bind({ui->Charakteristika561, ui->tbtn_charakteristika}, &TForm1::Charakteristika561Click);
    bind({ui->Charakteristika781, ui->tbtn_charakter01}, &TForm1::Charakteristika781Click);
    bind({ui->Doplnitstandardnkdy1}, &TForm1::Doplnitstandardnkdy1Click);
    bind({ui->n1}, &TForm1::n1Click);
    bind({ui->n2}, &TForm1::n2Click);
    bind({ui->n3}, &TForm1::n3Click);
    bind({ui->n4}, &TForm1::n4Click);
    bind({ui->n5}, &TForm1::n5Click);
    bind({ui->n6}, &TForm1::n6Click);
    bind({ui->n7}, &TForm1::n7Click);
    bind({ui->Oprogramu1}, &TForm1::Oprogramu1Click);
    bind({ui->Tiskvpisu1}, &TForm1::Tiskvpisu1Click);
    bind({ui->Uloitvpis1}, &TForm1::Uloitvpis1Click);
    bind({ui->Sma1}, &TForm1::btn_smazClick);
    bind({ui->Upravit1}, &TForm1::Btn_upravitClick);
    bind({ui->Zloka1}, &TForm1::btn_zalozkaClick);
    // The two settings set their check marks themselves: undo the toolkit's own
    // toggle before the handler decides.
    connect(ui->technika, &QAction::triggered, this, [this](bool checked) {
        ui->technika->setChecked(!checked);
        technikaClick();
    });
    connect(ui->udrzba, &QAction::triggered, this, [this](bool checked) {
        ui->udrzba->setChecked(!checked);
        udrzbaClick();
    });

    // Tool buttons carry the names of the commands they stand for.
    for (QAction *a : ui->tbr_databaze->actions())
        if (QWidget *w = ui->tbr_databaze->widgetForAction(a))
            w->setObjectName(a->objectName());

    pmenu_vypisy = new QMenu(this);
    pmenu_vypisy->setObjectName(QStringLiteral("pmenu_vypisy"));
    QMenu *vozy = pmenu_vypisy->addMenu(QStringLiteral("&Vozy"));
    vozy->addActions({ui->pmenu_Charakteristika1, ui->pmenu_DKV1, ui->pmenu_Domovstanice1});
    vozy->addSeparator();
    vozy->addAction(ui->pmenu_Kontrolasel1);
    QMenu *loko = pmenu_vypisy->addMenu(QStringLiteral("&Lokomotivy"));
    loko->addActions({ui->pmenu_ada1, ui->pmenu_DKV2, ui->pmenu_PJ1});
    loko->addSeparator();
    loko->addAction(ui->pmenu_Kontrolasel2);
    ui->tbtn_vypisy->setMenu(pmenu_vypisy);
    if (auto *button = qobject_cast<QToolButton *>(ui->tbr_databaze->widgetForAction(ui->tbtn_vypisy)))
        button->setPopupMode(QToolButton::InstantPopup);

    PopupMenu_databaze = new QMenu(this);
    PopupMenu_databaze->setObjectName(QStringLiteral("PopupMenu_databaze"));
    PopupMenu_databaze->addActions({ui->Sma1, ui->Upravit1, ui->Zloka1});
    // Delete in the list deletes the selected line, as "Smaž" does.
    ui->Sma1->setShortcutContext(Qt::WidgetShortcut);
    ui->lbx_databaze->addAction(ui->Sma1);

    // Built with the window but attached to no control.
    PopupMenu_form1 = new QMenu(this);
    PopupMenu_form1->setObjectName(QStringLiteral("PopupMenu_form1"));
    PopupMenu_form1->addActions({ui->Ulozitvozidlo2, ui->Zobrazitdatabzilokomotivy1, ui->Zobrazitdatabzivozy1,
                                 ui->Zobrazitdatabzireim1, ui->Uloitdatabzi2});
}

// ---- status bar -------------------------------------------------------------

// What each panel means, spoken before its text: "0" alone says nothing.
static const char16_t *const kPanelMeanings[4] = {u"Řádky databáze", u"Vybraný řádek", u"Neuložené změny",
                                                 u"Vozidlo k uložení"};

QString TForm1::panel(int index) const { return m_panels[index]->text(); }

void TForm1::setPanel(int index, const QString &text)
{
    m_panels[index]->setText(text);
    m_panels[index]->setAccessibleName(QString::fromUtf16(kPanelMeanings[index]) + QStringLiteral(": ") + text);
}
QLabel *TForm1::panelLabel(int index) const { return m_panels[index]; }

void TForm1::raiseChangeCount()
{
    const int count = numbering::toInt(panel(2)).value_or(0);
    setPanel(2, QString::number(count + 1));
}

// The list is named after the database it shows.
void TForm1::setDatabaseCaption(const QString &caption)
{
    ui->lbl_databaze->setText(caption);
    ui->lbx_databaze->setAccessibleName(caption);
}

int TForm1::selectedRow() const
{
    const QModelIndex current = ui->lbx_databaze->currentIndex();
    if (!current.isValid() || !ui->lbx_databaze->selectionModel()->isSelected(current))
        return -1;
    return current.row();
}

void TForm1::selectRow(int row)
{
    if (row < 0 || row >= m_databaze->count()) {
        ui->lbx_databaze->selectionModel()->clear();
        return;
    }
    ui->lbx_databaze->setCurrentIndex(m_databaze->index(row));
}

// ---- events -------------------------------------------------------------------

bool TForm1::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && !boxes::activationReturnsFromBox())
        FormActivate();
    return QMainWindow::event(e);
}

void TForm1::keyPressEvent(QKeyEvent *e)
{
    QWidget *focus = focusWidget();
    // The pane's view, editor and find field handle Enter and Escape themselves.
    const bool inMemo = focus && ui->Memo1->isAncestorOf(focus);
    // A focused push or tool button takes Enter itself; a radio button does not.
    const bool onButton = qobject_cast<QPushButton *>(focus) || qobject_cast<QToolButton *>(focus);
    // The numeric keypad's keys carry the keypad modifier: its Enter is Enter.
    const Qt::KeyboardModifiers modifiers = e->modifiers() & ~Qt::KeypadModifier;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !inMemo && !onButton
        && modifiers == Qt::NoModifier) {
        // Zadáno is the window's default button.
        ui->BitBtn_zadano->click();
        return;
    }
    if (e->key() == Qt::Key_Escape && !inMemo && modifiers == Qt::NoModifier) {
        // The next help arrow is the window's cancel button.
        if (ui->bitbtn_napoveda_dale->isEnabled())
            ui->bitbtn_napoveda_dale->click();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void TForm1::closeEvent(QCloseEvent *e)
{
    if (FormClose())
        e->accept();
    else
        e->ignore();
}

bool TForm1::eventFilter(QObject *watched, QEvent *e)
{
    // The context menu acts on the line selected before the right click.
    if (watched == ui->lbx_databaze->viewport()
        && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)
        && static_cast<QMouseEvent *>(e)->button() == Qt::RightButton)
        return true;
    for (QLineEdit *field : {ui->edt_rezim, ui->edt_vlastnik, ui->edt_charakteristika, ui->edt_evidence})
        if (watched == field && numberFieldPaste(field, e))
            return true;
    if (e->type() == QEvent::FocusIn) {
        // Focus by the keyboard, the program or the window's activation
        // selects the whole text, so typing replaces it; a click empties the
        // field instead.
        auto *field = qobject_cast<QLineEdit *>(watched);
        if (field && static_cast<QFocusEvent *>(e)->reason() != Qt::MouseFocusReason)
            field->selectAll();
    } else if (e->type() == QEvent::MouseButtonPress
               && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        // Only a left click empties a field: the right one opens its menu
        // ("Kopírovat" needs the text), the middle one pastes.
        if (watched == ui->edt_rezim)
            edt_rezimClick();
        else if (watched == ui->edt_vlastnik)
            edt_vlastnikClick();
        else if (watched == ui->edt_charakteristika)
            edt_charakteristikaClick();
        else if (watched == ui->edt_evidence)
            edt_evidenceClick();
    } else if (e->type() == QEvent::FocusOut && watched == ui->lbx_databaze) {
        lbx_databazeExit(QApplication::focusWidget(), static_cast<QFocusEvent *>(e)->reason());
    } else if (e->type() == QEvent::FocusOut
               && (watched == ui->btn_smaz || watched == ui->Btn_upravit || watched == ui->btn_zalozka)) {
        editButtonExit(QApplication::focusWidget());
    }
    return QMainWindow::eventFilter(watched, e);
}

// ---- number entry ---------------------------------------------------------------

void TForm1::moveFocusTo(QWidget *w)
{
    w->setFocus(Qt::TabFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->selectAll();
}

// A screen reader hears the digit, not just the label's name: "Zadáno"
// gives the focus to the first field, whose description then carries it, as
// do the other fields of the number it belongs to, until one of them changes.
void TForm1::setKontrolka(const QString &text)
{
    const QString spoken = QStringLiteral("Kontrolní číslice ") + text;
    ui->lbl_kontrolka->setText(text);
    ui->lbl_kontrolka->setAccessibleName(spoken);
    const QString description = text == QLatin1String("X") ? QString() : spoken;
    for (QLineEdit *field : {ui->edt_rezim, ui->edt_vlastnik, ui->edt_charakteristika, ui->edt_evidence})
        if (field->accessibleDescription() != description)
            field->setAccessibleDescription(description);
}

void TForm1::changeRule(QLineEdit *field)
{
    setKontrolka(QStringLiteral("X"));
    const QString text = field->text();
    if (!numbering::toInt(text)) {
        if (!text.isEmpty())
            field->setText(QString()); // runs this rule once more, which stops here
        return;
    }
    numbering::Field which = numbering::Field::Rezim;
    if (field == ui->edt_vlastnik)
        which = numbering::Field::Vlastnik;
    else if (field == ui->edt_charakteristika)
        which = numbering::Field::Charakteristika;
    else if (field == ui->edt_evidence)
        which = numbering::Field::Evidence;
    switch (numbering::focusAdvance(which, int(text.size()), ui->rbtn_vozy->isChecked())) {
    case numbering::Advance::Vlastnik:
        moveFocusTo(ui->edt_vlastnik);
        break;
    case numbering::Advance::Charakteristika:
        moveFocusTo(ui->edt_charakteristika);
        break;
    case numbering::Advance::Evidence:
        moveFocusTo(ui->edt_evidence);
        break;
    case numbering::Advance::Zadano:
        moveFocusTo(ui->BitBtn_zadano);
        break;
    case numbering::Advance::None:
        break;
    }
}

void TForm1::clickRule(QLineEdit *field) { field->setText(QString()); }

// Every road by which text is pasted into a number field: the paste keys
// (Ctrl+V, Shift+Insert), the middle button (the X selection), a drop and the
// context menu's "Vložit". True when the text was a whole number and has been
// taken; otherwise the field takes it by its own rules.
bool TForm1::numberFieldPaste(QLineEdit *field, QEvent *e)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    switch (e->type()) {
    case QEvent::KeyPress:
        return static_cast<QKeyEvent *>(e)->matches(QKeySequence::Paste) && pasteWholeNumber(clipboard->text());
    case QEvent::MouseButtonRelease:
        return static_cast<QMouseEvent *>(e)->button() == Qt::MiddleButton && clipboard->supportsSelection()
               && pasteWholeNumber(clipboard->text(QClipboard::Selection));
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(e);
        if (!drop->mimeData()->hasText() || !pasteWholeNumber(drop->mimeData()->text()))
            return false;
        // A copy: a number dragged out of another field stays there.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        QDragLeaveEvent leave; // the field stops showing where the drop would go
        QCoreApplication::sendEvent(field, &leave);
        return true;
    }
    case QEvent::ContextMenu: {
        // The field's own menu, with "Vložit" (known by the toolkit's own
        // caption, shortcut text left out) going through the whole-number reading first.
        QMenu *menu = field->createStandardContextMenu();
        for (QAction *paste : menu->actions()) {
            if (paste->text().section(u'\t', 0, 0) != QLineEdit::tr("&Paste"))
                continue;
            disconnect(paste, &QAction::triggered, field, nullptr);
            connect(paste, &QAction::triggered, field, [this, field] {
                if (!pasteWholeNumber(QGuiApplication::clipboard()->text()))
                    field->paste();
            });
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent *>(e)->globalPos());
        return true;
    }
    default:
        return false;
    }
}

// A whole vehicle number: the kind switches if needed, as its radio button
// does, the digits fill the fields and "Zadáno" computes; a check digit given
// with the number is then compared with the computed one.
bool TForm1::pasteWholeNumber(const QString &text)
{
    const std::optional<numbering::WholeNumber> number = numbering::readWholeNumber(text);
    if (!number)
        return false;
    const QString &d = number->digits;
    QRadioButton *kind = number->wagon() ? ui->rbtn_vozy : ui->rbtn_lokomotivy;
    if (!kind->isChecked())
        kind->click();
    if (number->wagon()) {
        ui->edt_rezim->setText(d.sliced(0, 2));
        ui->edt_vlastnik->setText(d.sliced(2, 2));
        ui->edt_charakteristika->setText(d.sliced(4, 4));
        ui->edt_evidence->setText(d.sliced(8, 3));
    } else {
        ui->edt_rezim->setText(d.sliced(0, 3));
        ui->edt_vlastnik->setText(d.sliced(3, 3));
    }
    ui->BitBtn_zadano->click();
    const int correct = numbering::checkDigitOf(d);
    if (number->given && *number->given != correct)
        boxes::message(QStringLiteral("Zadaná kontrolní číslice %1 nesouhlasí, správná je %2.")
                           .arg(*number->given)
                           .arg(correct));
    return true;
}

void TForm1::edt_rezimChange() { changeRule(ui->edt_rezim); }
void TForm1::edt_vlastnikChange() { changeRule(ui->edt_vlastnik); }
void TForm1::edt_charakteristikaChange() { changeRule(ui->edt_charakteristika); }
void TForm1::edt_evidenceChange() { changeRule(ui->edt_evidence); }
void TForm1::edt_rezimClick() { clickRule(ui->edt_rezim); }
void TForm1::edt_vlastnikClick() { clickRule(ui->edt_vlastnik); }
void TForm1::edt_charakteristikaClick() { clickRule(ui->edt_charakteristika); }
void TForm1::edt_evidenceClick() { clickRule(ui->edt_evidence); }

void TForm1::rbtn_lokomotivyClick()
{
    ui->edt_rezim->resize(35, ui->edt_rezim->height());
    ui->edt_rezim->setText(QStringLiteral("XXX"));
    ui->edt_vlastnik->resize(35, ui->edt_vlastnik->height());
    ui->edt_vlastnik->setText(QStringLiteral("XXX"));
    ui->edt_charakteristika->hide();
    ui->edt_evidence->hide();
    ui->lbl_rezim->setText(QStringLiteral("Řada"));
    ui->lbl_vlastnik->setText(QStringLiteral("evidence"));
    ui->edt_rezim->setAccessibleName(QStringLiteral("Řada"));
    ui->edt_vlastnik->setAccessibleName(QStringLiteral("evidence"));
    ui->lbl_charakteristika->hide();
    ui->lbl_evidence->hide();
    ui->Panel_kontrolka->move(120, ui->Panel_kontrolka->y());
    moveFocusTo(ui->edt_rezim);
    pocet_cislic = 6;
}

void TForm1::rbtn_vozyClick()
{
    ui->edt_rezim->resize(25, ui->edt_rezim->height());
    ui->edt_rezim->setText(QStringLiteral("XX"));
    ui->edt_vlastnik->resize(25, ui->edt_vlastnik->height());
    ui->edt_vlastnik->setText(QStringLiteral("XX"));
    ui->edt_charakteristika->show();
    ui->edt_evidence->show();
    ui->lbl_rezim->setText(QStringLiteral("Režim"));
    ui->lbl_vlastnik->setText(QStringLiteral("Vlastník"));
    ui->edt_rezim->setAccessibleName(QStringLiteral("Režim"));
    ui->edt_vlastnik->setAccessibleName(QStringLiteral("Vlastník"));
    ui->lbl_charakteristika->show();
    ui->lbl_evidence->show();
    // Beside the serial field; wider than the classic layout to fit this font.
    ui->Panel_kontrolka->move(264, ui->Panel_kontrolka->y());
    moveFocusTo(ui->edt_rezim);
    pocet_cislic = 11;
}

void TForm1::FormActivate()
{
    setPanel(0, QStringLiteral("Počet řádků ") + QString::number(m_databaze->count()));
    pocet_cislic = ui->rbtn_vozy->isChecked() ? 11 : 6;
}

namespace {
struct Step {
    QLineEdit *field;
    const char16_t *incorrect;
    const char16_t *incomplete;
    int firstPosition;
    int width;
    int minimum; // wagon completeness threshold; 0 for the locomotive rule
};
} // namespace

void TForm1::btn_pocitejClick()
{
    ui->bitbtn_napoveda_dale->setEnabled(false);
    ui->BitBtn_napoveda_zpet->setEnabled(false);

    std::vector<Step> steps;
    int count = 0;
    if (ui->rbtn_lokomotivy->isChecked()) {
        steps = {{ui->edt_rezim, u"nekorektní zadání řady", u"neúplné zadání řady", 1, 3, 0},
                 {ui->edt_vlastnik, u"nekorektní zadání evidence", u"neúplné zadání evidence", 4, 3, 0}};
        count = 6;
    } else if (ui->rbtn_vozy->isChecked()) {
        steps = {{ui->edt_rezim, u"nekorektní zadání režimu !!", u"neúplné zadání režimu !!", 1, 2, 10},
                 {ui->edt_vlastnik, u"nekorektní zadání vlastníka !!", u"neúplné zadání vlastníka !!", 3, 2, 10},
                 {ui->edt_charakteristika, u"nekorektní zadání charakteristiky !!",
                  u"neúplné zadání charakteristiky !!", 5, 4, 1000},
                 {ui->edt_evidence, u"nekorektní zadání evidence !!", u"neúplné zadání evidence !!", 9, 3, 100}};
        count = 11;
    } else {
        return;
    }

    for (const Step &step : steps) {
        const QString text = step.field->text();
        const std::optional<int> value = numbering::toInt(text);
        if (!value) {
            step.field->setText(QString());
            boxes::message(QString::fromUtf16(step.incorrect));
            return;
        }
        const bool complete = step.minimum == 0
                                  ? numbering::locomotiveFieldComplete(text, *value)
                                  : numbering::wagonFieldComplete(text, *value, step.minimum);
        if (!complete) {
            boxes::message(QString::fromUtf16(step.incomplete));
            return;
        }
        // Characters the text does not reach leave their position empty.
        for (int k = 0; k < step.width; ++k)
            cislice[step.firstPosition + k] = k < text.size() ? QString(text[k]) : QString();
    }

    std::vector<int> digits;
    for (int position = 1; position <= count; ++position) {
        if (!numbering::isDigit(cislice[position])) {
            boxes::message(QStringLiteral("chybně zadané číslo!!"));
            return;
        }
        digits.push_back(cislice[position][0].unicode() - u'0');
    }
    setKontrolka(QString::number(numbering::kontrolni_cislice(digits)));
    vehicleReport();
}
