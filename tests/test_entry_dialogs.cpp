#include "app/adr_list.h"
#include "app/main_window.h"
#include "dialogs/add_form.h"
#include "dialogs/edit_form.h"
#include "dialogs/find_form.h"
#include "dialogs/phone_edit.h"
#include "core/document_file.h"
#include "test_support.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace callvista;
using namespace callvista::testing;

namespace {
enum class Paste;
}
Q_DECLARE_METATYPE(Paste)

namespace {

// What a person sees of a box: its text, where the caret stands, what is selected.
QString describe(const QLineEdit* box)
{
    return QStringLiteral("'%1' caret %2 selection %3 '%4'")
        .arg(box->text())
        .arg(box->cursorPosition())
        .arg(box->selectionStart())
        .arg(box->selectedText());
}

QString describe(const QString& text, int caret, int selectionStart = -1,
                 const QString& selected = {})
{
    return QStringLiteral("'%1' caret %2 selection %3 '%4'")
        .arg(text)
        .arg(caret)
        .arg(selectionStart)
        .arg(selected);
}

// The key event a keyboard sends for a character code: Ctrl with a letter for
// the control codes, Ctrl with a punctuation key for 0 and 27 to 31, Ctrl with
// Backspace for 127, and the character itself for everything else.
QKeyCombination keyForCode(int code)
{
    if (code >= 1 && code <= 26)
        return Qt::ControlModifier | Qt::Key(Qt::Key_A + code - 1);
    switch (code) {
    case 0:
        return Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_At;
    case 27:
        return Qt::ControlModifier | Qt::Key_BracketLeft;
    case 28:
        return Qt::ControlModifier | Qt::Key_Backslash;
    case 29:
        return Qt::ControlModifier | Qt::Key_BracketRight;
    case 30:
        return Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_AsciiCircum;
    case 31:
        return Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Underscore;
    case 127:
        return Qt::ControlModifier | Qt::Key_Backspace;
    default:
        break;
    }
    if (code < 127) {
        const QChar c(code);
        return (c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier) | Qt::Key(c.toUpper().unicode());
    }
    return QKeyCombination(Qt::Key_unknown);
}

void typeKey(QWidget* box, QKeyCombination key, const QString& text)
{
    QTest::sendKeyEvent(QTest::Press, box, key.key(), text, key.keyboardModifiers());
    QTest::sendKeyEvent(QTest::Release, box, key.key(), text, key.keyboardModifiers());
}

QLineEdit* box(const QWidget& form, const char* name)
{
    return child<QLineEdit>(form, name);
}

QStringList boxTexts(const QWidget& form)
{
    return {box(form, "Family")->text(), box(form, "Short")->text(), box(form, "Phone")->text()};
}

// The ways text reaches a box other than typing, each through what a person
// uses: Ctrl+V, the box's own context menu, and a drop.
enum class Paste { CtrlV, Menu, Drop };

void pasteByMenu(QLineEdit* target)
{
    const std::unique_ptr<QMenu> menu(target->createStandardContextMenu());
    for (QAction* action : menu->actions())
        if (action->text().startsWith(QLatin1String("&Paste"))) {
            action->trigger();
            return;
        }
    QFAIL("the context menu has no Paste");
}

void dropText(QLineEdit* target, const QString& text)
{
    QMimeData data;
    data.setText(text);
    // A drop lands only where the drag entered first.
    const QPoint end(target->width() - 2, target->height() / 2);
    QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
}

void paste(QLineEdit* target, const QString& text, Paste how)
{
    target->setFocus();
    target->end(false);
    QGuiApplication::clipboard()->setText(text);
    switch (how) {
    case Paste::CtrlV:
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        break;
    case Paste::Menu:
        pasteByMenu(target);
        break;
    case Paste::Drop:
        dropText(target, text);
        break;
    }
}

} // namespace

class TestEntryDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void phoneBoxesFilterEveryCode_data();
    void phoneBoxesFilterEveryCode();
    void phoneBoxIgnoresClipboardShortcuts();
    void phoneBoxTakesPasteAndProgramText();
    void phoneBoxKeepsEditingKeys();

    void formsShareTheFieldLayout_data();
    void formsShareTheFieldLayout();
    void formWindows_data();
    void formWindows();
    void mainReadsColumnWidthsFromAddForm();

    void addTypedEntriesStayOpen();
    void addRefusesIncompleteFields_data();
    void addRefusesIncompleteFields();
    void addClosesWithoutAdding_data();
    void addClosesWithoutAdding();
    void addBoxesStopAtTheirLimits();
    void addRefusesWhenTheListIsFull();
    void pastedLineBreaksBecomeSpaces_data();
    void pastedLineBreaksBecomeSpaces();
    void boxesNeverEndInHalfAPair_data();
    void boxesNeverEndInHalfAPair();

    void editFillsBoxesByPosition_data();
    void editFillsBoxesByPosition();
    void editMovesTheEntry();
    void editWithoutChangeMarksTheDocument();
    void editWithoutSelectionTakesTheFirst();
    void editRefusesIncompleteFields_data();
    void editRefusesIncompleteFields();
    void editClosesWithoutChange_data();
    void editClosesWithoutChange();

    void screenshot();

private:
    void addEntries(const QList<QStringList>& entries);
    [[nodiscard]] QStringList families() const;
    // Each entry form, shown, over a list whose selected entry is "Smith".
    std::vector<std::unique_ptr<QDialog>> openEntryForms();

    std::unique_ptr<Main> m_main;
};

void TestEntryDialogs::init()
{
    m_main = std::make_unique<Main>();
    showActive(*m_main);
}

void TestEntryDialogs::cleanup()
{
    m_main.reset();
}

void TestEntryDialogs::addEntries(const QList<QStringList>& entries)
{
    for (const QStringList& e : entries)
        QVERIFY(m_main->adrList()->addItem(m_main->MakeNewItem(e.at(0), e.at(1), e.at(2))));
}

QStringList TestEntryDialogs::families() const
{
    QStringList result;
    for (int i = 0; i < m_main->adrList()->listCount(); ++i)
        result.append(m_main->GetItemField(m_main->adrList()->itemText(i), 1));
    return result;
}

std::vector<std::unique_ptr<QDialog>> TestEntryDialogs::openEntryForms()
{
    if (m_main->adrList()->listCount() == 0) {
        addEntries({{"Smith", "John", "555"}});
        m_main->adrList()->setListIndex(0);
    }
    std::vector<std::unique_ptr<QDialog>> forms;
    forms.push_back(std::make_unique<AddForm>(*m_main));
    forms.push_back(std::make_unique<EditForm>(*m_main));
    forms.push_back(std::make_unique<FindForm>(*m_main));
    for (const auto& form : forms)
        form->show();
    return forms;
}

void TestEntryDialogs::phoneBoxesFilterEveryCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("text");

    for (int code = 0; code <= 255; ++code) {
        const QString text = QString(QChar(char16_t(code)));
        const QString name = code > 32 && code != 127 ? QStringLiteral("%1 %2").arg(code).arg(text)
                                                      : QString::number(code);
        QTest::newRow(qPrintable(name)) << code << keyForCode(code) << text;
    }
    QTest::newRow("8 Backspace key") << 8 << QKeyCombination(Qt::Key_Backspace) << "\b";
    QTest::newRow("8 Shift+Backspace")
        << 8 << (Qt::ShiftModifier | Qt::Key_Backspace) << "\b";
    QTest::newRow("euro sign") << 0x20AC << QKeyCombination(Qt::Key_unknown)
                               << QString(QChar(0x20AC));
    QTest::newRow("Ctrl+digit types nothing") << -1 << (Qt::ControlModifier | Qt::Key_5) << "5";
    QTest::newRow("Alt+digit types nothing") << -1 << (Qt::AltModifier | Qt::Key_5) << "5";
}

void TestEntryDialogs::phoneBoxesFilterEveryCode()
{
    QFETCH(int, code);
    QFETCH(QKeyCombination, key);
    QFETCH(QString, text);

    // Written out here rather than taken from the program: the characters
    // that a phone number is typed with.
    const bool backspace = code == 8;
    const bool inserts = code > 0 && code < 128
                         && QStringLiteral("#$+-.0123456789").contains(QChar(code));

    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        QLineEdit* phone = box(*form, "Phone");
        QVERIFY(qobject_cast<PhoneEdit*>(phone));
        const QString where = form->objectName() + QStringLiteral(": ");

        phone->setText(QStringLiteral("12-34"));
        phone->setCursorPosition(2);
        typeKey(phone, key, text);
        QString expected = describe(QStringLiteral("12-34"), 2);
        if (backspace)
            expected = describe(QStringLiteral("1-34"), 1);
        else if (inserts)
            expected = describe(QStringLiteral("12") + QChar(code) + QStringLiteral("-34"), 3);
        QCOMPARE(where + describe(phone), where + expected);

        phone->setText(QStringLiteral("12-34"));
        phone->setSelection(1, 3);
        typeKey(phone, key, text);
        expected = describe(QStringLiteral("12-34"), 4, 1, QStringLiteral("2-3"));
        if (backspace)
            expected = describe(QStringLiteral("14"), 1);
        else if (inserts)
            expected = describe(QStringLiteral("1") + QChar(code) + QStringLiteral("4"), 2);
        QCOMPARE(where + describe(phone), where + expected);
        QVERIFY(form->isVisible());
    }
}

void TestEntryDialogs::phoneBoxIgnoresClipboardShortcuts()
{
    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        QLineEdit* phone = box(*form, "Phone");
        QLineEdit* family = box(*form, "Family");
        form->activateWindow();
        QVERIFY(activated(*form));

        QGuiApplication::clipboard()->setText(QStringLiteral("999"));
        phone->setFocus();
        phone->setText(QStringLiteral("12-34"));
        phone->selectAll();
        QTest::keyClick(phone, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(phone, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("999"));
        QTest::keyClick(phone, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(describe(phone), describe(QStringLiteral("12-34"), 5, 0, QStringLiteral("12-34")));

        phone->setCursorPosition(5);
        QTest::keyClick(phone, Qt::Key_5);
        QTest::keyClick(phone, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(phone, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(phone->text(), QStringLiteral("12-345"));

        // A typed control code belongs to the box, even where the form
        // itself would react to the chord.
        QAction formShortcut(form.get());
        formShortcut.setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_B));
        form->addAction(&formShortcut);
        int triggered = 0;
        connect(&formShortcut, &QAction::triggered, [&] { ++triggered; });
        QTest::keyClick(phone, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(triggered, 0);
        QCOMPARE(phone->text(), QStringLiteral("12-345"));
        QTest::keyClick(family, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(triggered, 1);

        // The same keys work in a box without the rule.
        family->setFocus();
        family->clear();
        QTest::keyClick(family, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(family->text(), QStringLiteral("999"));
    }
}

void TestEntryDialogs::phoneBoxTakesPasteAndProgramText()
{
    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        QLineEdit* phone = box(*form, "Phone");
        phone->setText(QStringLiteral("(0) 555 ext"));
        QCOMPARE(phone->text(), QStringLiteral("(0) 555 ext"));

        phone->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("Tel: 555"));
        const std::unique_ptr<QMenu> menu(phone->createStandardContextMenu());
        QAction* paste = nullptr;
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QLatin1String("&Paste")))
                paste = action;
        QVERIFY(paste);
        paste->trigger();
        QCOMPARE(phone->text(), QStringLiteral("Tel: 555"));
    }
}

void TestEntryDialogs::phoneBoxKeepsEditingKeys()
{
    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        QLineEdit* phone = box(*form, "Phone");
        phone->setText(QStringLiteral("12-34"));
        QTest::keyClick(phone, Qt::Key_Home);
        QCOMPARE(phone->cursorPosition(), 0);
        QTest::keyClick(phone, Qt::Key_Delete);
        QCOMPARE(phone->text(), QStringLiteral("2-34"));
        QTest::keyClick(phone, Qt::Key_End);
        QTest::keyClick(phone, Qt::Key_Left);
        QCOMPARE(phone->cursorPosition(), 3);
        QTest::keyClick(phone, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(phone->selectedText(), QStringLiteral("3"));
        QTest::keyClick(phone, Qt::Key_Right);
        QTest::keyClick(phone, Qt::Key_Backspace);
        QCOMPARE(phone->text(), QStringLiteral("2-4"));
        // The box stops at its limit whatever is typed.
        phone->clear();
        QTest::keyClicks(phone, QStringLiteral("0123456789+0123456789"));
        QCOMPARE(phone->text(), QStringLiteral("0123456789+012345678"));
    }
}

void TestEntryDialogs::formsShareTheFieldLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<int>("maxLength");

    QTest::newRow("Label1") << "Label1" << QRect(24, 24, 73, 17) << 0;
    QTest::newRow("Label2") << "Label2" << QRect(32, 48, 65, 17) << 0;
    QTest::newRow("Label3") << "Label3" << QRect(40, 72, 57, 17) << 0;
    QTest::newRow("Family") << "Family" << QRect(96, 24, 209, 19) << 30;
    QTest::newRow("Short") << "Short" << QRect(96, 48, 193, 19) << 20;
    QTest::newRow("Phone") << "Phone" << QRect(96, 72, 177, 19) << 20;
}

void TestEntryDialogs::formsShareTheFieldLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    QFETCH(int, maxLength);

    const QStringList captions{"Family Name:", "Short Name:", "Phone No:"};
    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        QWidget* widget = form->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(form->objectName()));
        QCOMPARE(widget->geometry(), pixels);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), captions.at(name.back().digitValue() - 1));
            QCOMPARE(label->palette().color(QPalette::Window), QColor(192, 255, 255));
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else {
            QCOMPARE(qobject_cast<QLineEdit*>(widget)->maxLength(), maxLength);
        }
    }
}

void TestEntryDialogs::formWindows_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("defaultName");
    QTest::addColumn<QString>("defaultCaption");
    QTest::addColumn<QString>("cancelName");
    QTest::addColumn<QString>("cancelCaption");

    QTest::newRow("add") << "AddForm" << "Add New Entry" << "AddCmd" << "Add/Next" << "DoneCmd"
                         << "Done";
    QTest::newRow("edit") << "EditForm" << "Edit Item" << "EditCmd" << "Edit" << "CancelCmd"
                          << "Cancel";
}

void TestEntryDialogs::formWindows()
{
    QFETCH(QString, form);
    QFETCH(QString, caption);
    QFETCH(QString, defaultName);
    QFETCH(QString, defaultCaption);
    QFETCH(QString, cancelName);
    QFETCH(QString, cancelCaption);

    const auto forms = openEntryForms();
    QDialog* dialog = nullptr;
    for (const auto& f : forms)
        if (f->objectName() == form)
            dialog = f.get();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(dialog->size(), QSize(334, 146));
    QVERIFY(!dialog->windowIcon().isNull());
    QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));

    auto* defaultButton = dialog->findChild<QPushButton*>(defaultName);
    auto* cancelButton = dialog->findChild<QPushButton*>(cancelName);
    QVERIFY(defaultButton && cancelButton);
    QCOMPARE(defaultButton->text(), defaultCaption);
    QCOMPARE(cancelButton->text(), cancelCaption);
    QVERIFY(defaultButton->isDefault());
    QVERIFY(!cancelButton->isDefault());
    QCOMPARE(defaultButton->geometry(), QRect(80, 104, 73, 25));
    QCOMPARE(cancelButton->geometry(), QRect(208, 104, 73, 25));

    dialog->activateWindow();
    QVERIFY(activated(*dialog));
    QCOMPARE(focused(), box(*dialog, "Family"));
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        order.append(focused()->objectName());
        press(Qt::Key_Tab);
    }
    QCOMPARE(order, (QStringList{"Family", "Short", "Phone", defaultName, cancelName, "Family"}));
}

void TestEntryDialogs::mainReadsColumnWidthsFromAddForm()
{
    const AddForm form(*m_main);
    QCOMPARE(m_main->columnWidths(), form.fields().widths());
    QCOMPARE(m_main->columnWidths(), (ColumnWidths{30, 20, 20}));
}

void TestEntryDialogs::addTypedEntriesStayOpen()
{
    addEntries({{"Baker", "Tom", "12"}});
    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        QCOMPARE(focused(), box(dialog, "Family"));
        type("  Smith ");
        press(Qt::Key_Tab);
        type("John");
        press(Qt::Key_Tab);
        type("+49-555-12");
        press(Qt::Key_Return);
        QCOMPARE(families(), (QStringList{"Baker", "Smith"}));
        QCOMPARE(m_main->adrList()->itemText(1),
                 m_main->MakeNewItem("Smith", "John", "+49-555-12"));
        QVERIFY(m_main->ChangeFlag);
        QCOMPARE(boxTexts(dialog), (QStringList{"", "", ""}));
        QCOMPARE(focused(), box(dialog, "Family"));
        QVERIFY(dialog.isVisible());

        // Enter works from any box; the next entry sorts before the others.
        type("adams");
        press(Qt::Key_Tab);
        type("Ann");
        press(Qt::Key_Tab);
        type("0");
        box(dialog, "Short")->setFocus();
        press(Qt::Key_Enter);
        QCOMPARE(families(), (QStringList{"adams", "Baker", "Smith"}));
        QCOMPARE(m_main->adrList()->listIndex(), qint16(-1));

        // The same entry twice stands twice.
        type("Baker");
        press(Qt::Key_Tab);
        type("Tom");
        press(Qt::Key_Tab);
        type("12");
        QTest::mouseClick(child<QPushButton>(dialog, "AddCmd"), Qt::LeftButton);
        QCOMPARE(families(), (QStringList{"adams", "Baker", "Baker", "Smith"}));
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    QTest::mouseClick(child<QAbstractButton>(*m_main, "AddCmd"), Qt::LeftButton);

    QCOMPARE(dialogs.shown, QStringList{"AddForm"});
    QCOMPARE(dialogs.unexpected, 0);
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(m_main->adrList()->listCount(), qint16(4));
    QTRY_COMPARE(focused(), m_main->adrList());
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(child(*m_main, "FindCmd")->isEnabled());
}

void TestEntryDialogs::addRefusesIncompleteFields_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<QString>("phone");

    QTest::newRow("family missing") << "" << "John" << "555";
    QTest::newRow("family only spaces") << "   " << "John" << "555";
    QTest::newRow("short missing") << "Smith" << "" << "555";
    QTest::newRow("short only spaces") << "Smith" << " " << "555";
    QTest::newRow("phone missing") << "Smith" << "John" << "";
    QTest::newRow("all missing") << "" << "" << "";
}

void TestEntryDialogs::addRefusesIncompleteFields()
{
    QFETCH(QString, family);
    QFETCH(QString, shortName);
    QFETCH(QString, phone);

    addEntries({{"Baker", "Tom", "12"}});
    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        type(family);
        press(Qt::Key_Tab);
        type(shortName);
        press(Qt::Key_Tab);
        type(phone);
        QWidget* before = focused();
        press(Qt::Key_Return);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().text,
                 QStringLiteral("Family & Short & Phone Must be Specified!"));
        QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
        QCOMPARE(messages.asked.first().buttons, MessageButtons::Ok);
        QCOMPARE(boxTexts(dialog), (QStringList{family, shortName, phone}));
        QCOMPARE(focused(), before);
        QVERIFY(dialog.isVisible());
        QCOMPARE(families(), QStringList{"Baker"});
        QVERIFY(!m_main->ChangeFlag);
    });
    m_main->addCmdClick();
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(families(), QStringList{"Baker"});
}

void TestEntryDialogs::addClosesWithoutAdding_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Done") << "done";
    QTest::newRow("close box") << "close";
    QTest::newRow("Done right away") << "done at once";
}

void TestEntryDialogs::addClosesWithoutAdding()
{
    QFETCH(QString, how);

    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        if (how != QLatin1String("done at once")) {
            type("Smith");
            press(Qt::Key_Tab);
            type("John");
            press(Qt::Key_Tab);
            type("555");
        }
        if (how == QLatin1String("escape"))
            press(Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            dialog.close();
        else
            QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    m_main->addCmdClick();
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(m_main->adrList()->listCount(), qint16(0));
    QVERIFY(!m_main->ChangeFlag);
    QTRY_COMPARE(focused(), m_main->adrList());
    QVERIFY(!child(*m_main, "EditCmd")->isEnabled());
}

void TestEntryDialogs::addBoxesStopAtTheirLimits()
{
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        type(QString(35, u'f'));
        press(Qt::Key_Tab);
        type(QString(25, u's') + "|");
        press(Qt::Key_Tab);
        type(QString(25, u'7'));
        QCOMPARE(boxTexts(dialog),
                 (QStringList{QString(30, u'f'), QString(20, u's'), QString(20, u'7')}));
        press(Qt::Key_Return);
        QCOMPARE(boxTexts(dialog), (QStringList{"", "", ""}));
    });
    m_main->addCmdClick();
    QCOMPARE(m_main->adrList()->itemText(0),
             QString(30, u'f') + "|" + QString(20, u's') + "|" + QString(20, u'7'));
}

void TestEntryDialogs::addRefusesWhenTheListIsFull()
{
    QStringList lines;
    for (int i = 0; i < MaxEntries; ++i)
        lines.append(m_main->MakeNewItem(QString::number(i), "s", "1"));
    m_main->adrList()->setItems(lines);

    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        type("Smith");
        press(Qt::Key_Tab);
        type("John");
        press(Qt::Key_Tab);
        type("555");
        press(Qt::Key_Return);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
        QCOMPARE(messages.asked.first().text, QStringLiteral("The List is Full!"));
        QCOMPARE(boxTexts(dialog), (QStringList{"Smith", "John", "555"}));
        QVERIFY(dialog.isVisible());
    });
    m_main->addCmdClick();
    QCOMPARE(m_main->adrList()->listCount(), qint16(MaxEntries));
    QVERIFY(!m_main->adrList()->items().contains(m_main->MakeNewItem("Smith", "John", "555")));
    QVERIFY(!m_main->ChangeFlag);
}

void TestEntryDialogs::pastedLineBreaksBecomeSpaces_data()
{
    QTest::addColumn<QString>("lineBreak");
    QTest::addColumn<Paste>("how");

    QTest::newRow("LF by Ctrl+V") << "\n" << Paste::CtrlV;
    QTest::newRow("CR by the context menu") << "\r" << Paste::Menu;
    QTest::newRow("CR LF by Ctrl+V") << "\r\n" << Paste::CtrlV;
    QTest::newRow("CR LF dropped") << "\r\n" << Paste::Drop;
}

void TestEntryDialogs::pastedLineBreaksBecomeSpaces()
{
    QFETCH(QString, lineBreak);
    QFETCH(Paste, how);
    // Ctrl+V is a swallowed keystroke in a Phone box; its menu still pastes.
    const Paste phoneHow = how == Paste::CtrlV ? Paste::Menu : how;

    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        paste(box(dialog, "Family"), "Miller" + lineBreak, how);
        paste(box(dialog, "Short"), "Jo" + lineBreak + "hn", how);
        paste(box(dialog, "Phone"), "555" + lineBreak + "12", phoneHow);
        QCOMPARE(boxTexts(dialog), (QStringList{"Miller ", "Jo hn", "555 12"}));
        press(Qt::Key_Return);
        QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QAbstractButton>(*m_main, "AddCmd"), Qt::LeftButton);
    QCOMPARE(m_main->adrList()->items(), QStringList{m_main->MakeNewItem("Miller", "Jo hn", "555 12")});
    QTRY_VERIFY(child(*m_main, "EditCmd")->isEnabled());

    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        paste(box(dialog, "Family"), lineBreak + "Smith", how);
        paste(box(dialog, "Short"), lineBreak, how);
        paste(box(dialog, "Phone"), lineBreak + "9", phoneHow);
        QCOMPARE(boxTexts(dialog), (QStringList{"Miller Smith", "Jo hn ", "555 12 9"}));
        press(Qt::Key_Return);
    });
    QTest::mouseClick(child<QAbstractButton>(*m_main, "EditCmd"), Qt::LeftButton);
    const QStringList expected{m_main->MakeNewItem("Miller Smith", "Jo hn", "555 12 9")};
    QCOMPARE(m_main->adrList()->items(), expected);

    const QTemporaryDir folder;
    m_main->CvaFileName = folder.filePath("pasted.CVA");
    m_main->findChild<QAction*>("SaveMenu")->trigger();
    QCOMPARE(messages.asked.size(), 0);
    QFile saved(folder.filePath("pasted.CVA"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("Miller Smith\r\nJo hn\r\n555 12 9\r\n"));
    const DecodedDocument read = readDocumentFile(folder.filePath("pasted.CVA"), ColumnWidths{});
    QVERIFY(read.report.isClean());
    QCOMPARE(read.lines, expected);
}

void TestEntryDialogs::boxesNeverEndInHalfAPair_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("how");

    for (const auto& [name, limit] : {std::pair{"Family", 30}, {"Short", 20}, {"Phone", 20}})
        for (const char* how : {"typed", "pasted", "dropped", "set"})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(name, how)))
                << QString(name) << limit << QString(how);
}

void TestEntryDialogs::boxesNeverEndInHalfAPair()
{
    QFETCH(QString, name);
    QFETCH(int, limit);
    QFETCH(QString, how);

    const QString smile = QString::fromUcs4(U"\U0001F600");
    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        QLineEdit* target = box(*form, qPrintable(name));
        const QString where = form->objectName() + QStringLiteral(": ");
        form->activateWindow();
        QVERIFY(activated(*form));
        for (const int room : {1, 2}) {
            // One unit of room cuts the pair; two take it whole.
            const QString filler(limit - room, name == "Phone" ? u'5' : u'a');
            const QString whole = room == 2 && name != "Phone" ? filler + smile : filler;
            target->setText(filler);
            if (how == "typed") {
                target->setFocus();
                target->end(false);
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, smile, Qt::NoModifier);
            } else if (how == "pasted") {
                paste(target, smile, name == "Phone" ? Paste::Menu : Paste::CtrlV);
            } else if (how == "dropped") {
                paste(target, smile, Paste::Drop);
            } else {
                target->setText(filler + smile);
            }
            const QString expected = how == "typed" ? whole : room == 2 ? filler + smile : filler;
            QCOMPARE(where + target->text(), where + expected);
            QVERIFY(!target->text().back().isHighSurrogate());
        }
    }
}

void TestEntryDialogs::editFillsBoxesByPosition_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<QString>("phone");

    QTest::newRow("plain") << "Smith" << "John" << "+49-555-12";
    QTest::newRow("bar in the family name") << "Smith|Jones" << "J|P" << "555";
    QTest::newRow("family name of 30") << QString("Abcdefghij").repeated(3) << "x" << "1";
    QTest::newRow("all columns full") << QString(30, u'F') << QString(20, u'S')
                                      << QString(20, u'9');
    QTest::newRow("inner blanks") << "van der Berg" << "J P" << "0 12";
}

void TestEntryDialogs::editFillsBoxesByPosition()
{
    QFETCH(QString, family);
    QFETCH(QString, shortName);
    QFETCH(QString, phone);

    addEntries({{"Aaron", "A", "1"}, {family, shortName, phone}, {"zz", "Z", "9"}});
    m_main->adrList()->setFocus();
    m_main->adrList()->setListIndex(1);
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Item"));
        QCOMPARE(boxTexts(dialog), (QStringList{family, shortName, phone}));
        QCOMPARE(focused(), box(dialog, "Family"));
        press(Qt::Key_Escape);
    });
    QTest::mouseClick(child<QAbstractButton>(*m_main, "EditCmd"), Qt::LeftButton);
    QCOMPARE(dialogs.shown, QStringList{"EditForm"});
    QCOMPARE(m_main->adrList()->listIndex(), qint16(1));
}

void TestEntryDialogs::editMovesTheEntry()
{
    addEntries({{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}, {"Smith", "John", "555"}});
    m_main->adrList()->setFocus();
    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        QCOMPARE(boxTexts(dialog), (QStringList{"Adams", "Ann", "123"}));
        box(dialog, "Family")->selectAll();
        type("Young");
        box(dialog, "Phone")->setFocus();
        press(Qt::Key_End);
        type("4");
        press(Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
    });
    // A double click on the first line opens it.
    AdrList* list = m_main->adrList();
    const QRect row = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());

    QCOMPARE(dialogs.shown, QStringList{"EditForm"});
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(families(), (QStringList{"Baker", "Smith", "Young"}));
    QCOMPARE(list->itemText(2), m_main->MakeNewItem("Young", "Ann", "1234"));
    QCOMPARE(list->listIndex(), qint16(-1));
    QVERIFY(m_main->ChangeFlag);
}

void TestEntryDialogs::editWithoutChangeMarksTheDocument()
{
    addEntries({{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}});
    const QStringList before = m_main->adrList()->items();
    m_main->adrList()->setListIndex(1);
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        QTest::mouseClick(child<QPushButton>(dialog, "EditCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    m_main->editCmdClick();
    QCOMPARE(m_main->adrList()->items(), before);
    QVERIFY(m_main->ChangeFlag);
    QCOMPARE(m_main->adrList()->listIndex(), qint16(-1));
}

void TestEntryDialogs::editWithoutSelectionTakesTheFirst()
{
    addEntries({{"Baker", "Tom", "12"}, {"Adams", "Ann", "123"}});
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        QCOMPARE(boxTexts(dialog), (QStringList{"Adams", "Ann", "123"}));
    });
    m_main->editCmdClick();
    QCOMPARE(dialogs.shown, QStringList{"EditForm"});
    QCOMPARE(m_main->adrList()->listIndex(), qint16(0));
    QVERIFY(!m_main->ChangeFlag);
}

void TestEntryDialogs::editRefusesIncompleteFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("replacement");

    QTest::newRow("family emptied") << "Family" << "";
    QTest::newRow("family only spaces") << "Family" << "  ";
    QTest::newRow("short emptied") << "Short" << "";
    QTest::newRow("phone emptied") << "Phone" << "";
}

void TestEntryDialogs::editRefusesIncompleteFields()
{
    QFETCH(QString, name);
    QFETCH(QString, replacement);

    addEntries({{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}});
    const QStringList before = m_main->adrList()->items();
    m_main->adrList()->setListIndex(1);
    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        QLineEdit* edited = dialog.findChild<QLineEdit*>(name);
        edited->setFocus();
        edited->selectAll();
        press(Qt::Key_Backspace);
        type(replacement);
        press(Qt::Key_Return);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().text,
                 QStringLiteral("Family & Short & Phone Must be Specified!"));
        QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
        QCOMPARE(edited->text(), replacement);
        QCOMPARE(focused(), edited);
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_main->adrList()->items(), before);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(1));
    });
    m_main->editCmdClick();
    QCOMPARE(m_main->adrList()->items(), before);
    QVERIFY(!m_main->ChangeFlag);
}

void TestEntryDialogs::editClosesWithoutChange_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Escape from Phone") << "escape in phone";
    QTest::newRow("close box") << "close";
}

void TestEntryDialogs::editClosesWithoutChange()
{
    QFETCH(QString, how);

    addEntries({{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}, {"Smith", "John", "555"}});
    const QStringList before = m_main->adrList()->items();
    m_main->adrList()->setListIndex(1);
    ModalScript dialogs;
    MessageScript messages;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        box(dialog, "Family")->selectAll();
        type("Zeta");
        if (how == QLatin1String("escape in phone"))
            box(dialog, "Phone")->setFocus();
        if (how.startsWith(QLatin1String("escape")))
            press(Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            dialog.close();
        else
            QTest::mouseClick(child<QPushButton>(dialog, "CancelCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    m_main->editCmdClick();
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(m_main->adrList()->items(), before);
    QCOMPARE(m_main->adrList()->listIndex(), qint16(1));
    QVERIFY(!m_main->ChangeFlag);
}

void TestEntryDialogs::screenshot()
{
    const QString folder = qEnvironmentVariable("CALLVISTA_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("set CALLVISTA_SCREENSHOTS to a folder to save the picture");
    addEntries({{"Smith", "John", "+49-555-12"}, {"Adams", "Ann", "555-01-00"},
                {"van der Berg", "Jan", "#31-20"}, {"Baker", "Tom", "12-345-67"}});
    m_main->adrList()->setFocus();
    m_main->adrList()->setListIndex(3);

    AddForm add(*m_main);
    add.show();
    QTest::keyClicks(box(add, "Family"), "Miller");
    QTest::keyClicks(box(add, "Phone"), "0171-(555) 12");
    EditForm edit(*m_main);
    edit.show();

    const QImage window = m_main->grab().toImage();
    const QImage addImage = add.grab().toImage();
    const QImage editImage = edit.grab().toImage();
    QImage sheet(window.width() + addImage.width() + 30,
                 qMax(window.height(), addImage.height() + editImage.height() + 30),
                 QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawImage(0, 0, window);
    painter.drawImage(window.width() + 20, 0, addImage);
    painter.drawImage(window.width() + 20, addImage.height() + 20, editImage);
    painter.end();
    QVERIFY(sheet.save(folder + "/entry_dialogs.png"));
}

QTEST_MAIN(TestEntryDialogs)
#include "test_entry_dialogs.moc"
