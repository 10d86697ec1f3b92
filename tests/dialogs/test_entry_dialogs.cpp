#include "core/entry_line.h"
#include "dialogs/entry_form.h"
#include "dialogs/find_form.h"
#include "test_support.h"
#include "widgets/entry_list.h"
#include "widgets/geometry.h"
#include "widgets/modal.h"
#include "widgets/phone_edit.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The Add, Edit and Find dialogs on their own: each is built over a list of
// its own, or on a line, as the main window builds it, and driven through
// its boxes and buttons. What the main window does around them is tested in
// test_entry_commands.cpp.

using namespace callvista;
using namespace callvista::testing;

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

QLineEdit* box(const QWidget& form, const char* name,
               std::source_location caller = std::source_location::current())
{
    return child<QLineEdit>(form, name, caller);
}

QStringList boxTexts(const QWidget& form)
{
    return {box(form, "Family")->text(), box(form, "Short")->text(), box(form, "Phone")->text()};
}

} // namespace

namespace {

QStringList familiesOf(const EntryList& list)
{
    QStringList result;
    for (int i = 0; i < list.count(); ++i)
        result.append(entryField(list.itemText(i), Field::Family));
    return result;
}

// Types the three texts into the boxes from Family on, with Tab between them.
void typeEntry(const QStringList& texts)
{
    type(texts.value(0));
    press(Qt::Key_Tab);
    type(texts.value(1));
    press(Qt::Key_Tab);
    type(texts.value(2));
}

QString lineOrNothing(const std::optional<QString>& line)
{
    return line ? QStringLiteral("'%1'").arg(*line) : QStringLiteral("nothing");
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
    void escapeLeavesEachFormFromEveryControl();
    void formWindows_data();
    void formWindows();
    void boxLimitsAreTheColumnWidths();

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
    void editHandsOutTheNewLine_data();
    void editHandsOutTheNewLine();
    void editRefusesIncompleteFields_data();
    void editRefusesIncompleteFields();
    void editClosesWithoutChange_data();
    void editClosesWithoutChange();

private:
    // Each entry form, shown, over a list whose selected entry is "Smith":
    // Add and Find over the list, Edit on the selected line.
    std::vector<std::unique_ptr<QDialog>> openEntryForms();

    std::unique_ptr<EntryList> m_list;
};

void TestEntryDialogs::init()
{
    m_list = std::make_unique<EntryList>();
}

void TestEntryDialogs::cleanup()
{
    m_list.reset();
}

void TestEntryDialogs::escapeLeavesEachFormFromEveryControl()
{
    // Each control that takes the focus; Escape must leave the form as its
    // cancel would, whichever one has it, and nothing else may take the key.
    for (const auto& form : openEntryForms()) {
        const QList<QWidget*> controls = form->findChildren<QWidget*>();
        int tried = 0;
        for (QWidget* control : controls) {
            showActive(*form);
            if (control->focusPolicy() == Qt::NoFocus || !control->isVisible()
                || !control->isEnabled())
                continue;
            control->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), control);
            form->setResult(QDialog::Accepted);
            press(Qt::Key_Escape);
            QVERIFY2(!form->isVisible(),
                     qPrintable(form->objectName() + " stayed open on Escape in "
                                + control->objectName()));
            QCOMPARE(form->result(), int(QDialog::Rejected));
            ++tried;
        }
        QVERIFY2(tried >= 5,
                 qPrintable(form->objectName() + QStringLiteral(": only %1 controls").arg(tried)));
    }
}

std::vector<std::unique_ptr<QDialog>> TestEntryDialogs::openEntryForms()
{
    if (m_list->count() == 0) {
        [&] { QVERIFY(m_list->addItem(makeEntryLine("Smith", "John", "555"))); }();
        m_list->setCurrentRow(0);
    }
    std::vector<std::unique_ptr<QDialog>> forms;
    forms.push_back(std::make_unique<EntryForm>(AddEntries{insertInto(*m_list)}));
    forms.push_back(std::make_unique<EntryForm>(EditEntry{m_list->itemText(m_list->currentRow())}));
    forms.push_back(std::make_unique<FindForm>(m_list->lines(), m_list->currentRow(), Search{}));
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
    QTest::newRow("8 Shift+Backspace") << 8 << (Qt::ShiftModifier | Qt::Key_Backspace) << "\b";
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
    const bool inserts =
        code > 0 && code < 128 && QStringLiteral("#$+-.0123456789").contains(QChar(code));

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
    addControlRows(EntryFields::controls());
}

void TestEntryDialogs::formsShareTheFieldLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);

    const QStringList captions{"Family Name:", "Short Name:", "Phone No:"};
    const QMap<QString, int> maxLengths{{"Family", 30}, {"Short", 20}, {"Phone", 20}};
    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        QWidget* widget = form->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(form->objectName()));
        QCOMPARE(widget->geometry(), twipsRect(twips));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->text(), captions.at(name.back().digitValue() - 1));
            QCOMPARE(label->palette().color(QPalette::Window), QColor(192, 255, 255));
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else {
            QCOMPARE(qobject_cast<QLineEdit*>(widget)->maxLength(), maxLengths.value(name));
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

    QTest::newRow("add") << "AddForm"
                         << "Add New Entry"
                         << "AddCmd"
                         << "Add/Next"
                         << "DoneCmd"
                         << "Done";
    QTest::newRow("edit") << "EditForm"
                          << "Edit Item"
                          << "EditCmd"
                          << "Edit"
                          << "CancelCmd"
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
    const FormTable table =
        form == QLatin1String("AddForm") ? EntryForm::addTable() : EntryForm::editTable();
    QCOMPARE(dialog->size(), twipsSize(table.twips));
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
    for (const FormControl& control : table.controls)
        QCOMPARE(child(*dialog, control.name)->geometry(), twipsRect(control.twips));

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

void TestEntryDialogs::boxLimitsAreTheColumnWidths()
{
    QCOMPARE(EntryWidths.family, 30);
    QCOMPARE(EntryWidths.shortName, 20);
    QCOMPARE(EntryWidths.phone, 20);
    const auto forms = openEntryForms();
    for (const auto& form : forms) {
        const QString where = form->objectName() + QStringLiteral(": ");
        QLineEdit* family = box(*form, "Family");
        QLineEdit* shortName = box(*form, "Short");
        QLineEdit* phone = box(*form, "Phone");
        QCOMPARE(where + QString::number(family->maxLength()),
                 where + QString::number(EntryWidths.family));
        QCOMPARE(where + QString::number(shortName->maxLength()),
                 where + QString::number(EntryWidths.shortName));
        QCOMPARE(where + QString::number(phone->maxLength()),
                 where + QString::number(EntryWidths.phone));

        // Boxes filled to their limits make a line that keeps every field whole.
        family->setText(QString(100, u'f'));
        shortName->setText(QString(100, u's'));
        phone->setText(QString(100, u'7'));
        const QString line = makeEntryLine(family->text(), shortName->text(), phone->text());
        QCOMPARE(line.size(), EntryWidths.lineLength());
        QCOMPARE(where + entryField(line, Field::Family), where + family->text());
        QCOMPARE(where + entryField(line, Field::Short), where + shortName->text());
        QCOMPARE(where + entryField(line, Field::Phone), where + phone->text());
    }
}

void TestEntryDialogs::addTypedEntriesStayOpen()
{
    QVERIFY(m_list->addItem(makeEntryLine("Baker", "Tom", "12")));
    EntryForm form(AddEntries{insertInto(*m_list)});
    MessageScript messages;
    runDialog(form, [&](QDialog& dialog) {
        QCOMPARE(focused(), box(dialog, "Family"));
        QVERIFY(!form.addedAny());
        typeEntry({"  Smith ", "John", "+49-555-12"});
        press(Qt::Key_Return);
        QCOMPARE(familiesOf(*m_list), (QStringList{"Baker", "Smith"}));
        QCOMPARE(m_list->itemText(1), makeEntryLine("Smith", "John", "+49-555-12"));
        QVERIFY(form.addedAny());
        QCOMPARE(boxTexts(dialog), (QStringList{"", "", ""}));
        QCOMPARE(focused(), box(dialog, "Family"));
        QVERIFY(dialog.isVisible());

        // Enter works from any box; the next entry sorts before the others.
        typeEntry({"adams", "Ann", "0"});
        box(dialog, "Short")->setFocus();
        press(Qt::Key_Enter);
        QCOMPARE(familiesOf(*m_list), (QStringList{"adams", "Baker", "Smith"}));
        QCOMPARE(m_list->currentRow(), int(-1));

        // The same entry twice stands twice.
        typeEntry({"Baker", "Tom", "12"});
        QTest::mouseClick(child<QPushButton>(dialog, "AddCmd"), Qt::LeftButton);
        QCOMPARE(familiesOf(*m_list), (QStringList{"adams", "Baker", "Baker", "Smith"}));
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(m_list->count(), int(4));
    QVERIFY(form.addedAny());
}

void TestEntryDialogs::addRefusesIncompleteFields_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<QString>("phone");

    QTest::newRow("family missing") << ""
                                    << "John"
                                    << "555";
    QTest::newRow("family only spaces") << "   "
                                        << "John"
                                        << "555";
    QTest::newRow("short missing") << "Smith"
                                   << ""
                                   << "555";
    QTest::newRow("short only spaces") << "Smith"
                                       << " "
                                       << "555";
    QTest::newRow("phone missing") << "Smith"
                                   << "John"
                                   << "";
    QTest::newRow("all missing") << ""
                                 << ""
                                 << "";
}

void TestEntryDialogs::addRefusesIncompleteFields()
{
    QFETCH(QString, family);
    QFETCH(QString, shortName);
    QFETCH(QString, phone);

    QVERIFY(m_list->addItem(makeEntryLine("Baker", "Tom", "12")));
    EntryForm form(AddEntries{insertInto(*m_list)});
    MessageScript messages;
    runDialog(form, [&](QDialog& dialog) {
        typeEntry({family, shortName, phone});
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
        QCOMPARE(familiesOf(*m_list), QStringList{"Baker"});
        QVERIFY(!form.addedAny());
    });
    QCOMPARE(familiesOf(*m_list), QStringList{"Baker"});
    QVERIFY(!form.addedAny());
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

    EntryForm form(AddEntries{insertInto(*m_list)});
    MessageScript messages;
    runDialog(form, [&](QDialog& dialog) {
        if (how != QLatin1String("done at once"))
            typeEntry({"Smith", "John", "555"});
        if (how == QLatin1String("escape"))
            press(Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            dialog.close();
        else
            QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(m_list->count(), int(0));
    QVERIFY(!form.addedAny());
}

void TestEntryDialogs::addBoxesStopAtTheirLimits()
{
    EntryForm form(AddEntries{insertInto(*m_list)});
    runDialog(form, [&](QDialog& dialog) {
        typeEntry({QString(35, u'f'), QString(25, u's') + "|", QString(25, u'7')});
        QCOMPARE(boxTexts(dialog),
                 (QStringList{QString(30, u'f'), QString(20, u's'), QString(20, u'7')}));
        press(Qt::Key_Return);
        QCOMPARE(boxTexts(dialog), (QStringList{"", "", ""}));
    });
    QCOMPARE(m_list->items(),
             QStringList{QString(30, u'f') + "|" + QString(20, u's') + "|" + QString(20, u'7')});
}

void TestEntryDialogs::addRefusesWhenTheListIsFull()
{
    QStringList lines;
    for (int i = 0; i < MaxEntries; ++i)
        lines.append(makeEntryLine(QString::number(i), "s", "1"));
    m_list->setItems(lines);
    QCOMPARE(m_list->count(), int(MaxEntries));

    EntryForm form(AddEntries{insertInto(*m_list)});
    MessageScript messages;
    runDialog(form, [&](QDialog& dialog) {
        typeEntry({"Smith", "John", "555"});
        press(Qt::Key_Return);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
        QCOMPARE(messages.asked.first().text, QStringLiteral("The List is Full!"));
        QCOMPARE(boxTexts(dialog), (QStringList{"Smith", "John", "555"}));
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(m_list->count(), int(MaxEntries));
    QVERIFY(!m_list->items().contains(makeEntryLine("Smith", "John", "555")));
    QVERIFY(!form.addedAny());
}

void TestEntryDialogs::pastedLineBreaksBecomeSpaces_data()
{
    addPastedLineBreakRows();
}

void TestEntryDialogs::pastedLineBreaksBecomeSpaces()
{
    QFETCH(QString, lineBreak);
    QFETCH(Paste, how);
    // Ctrl+V is a swallowed keystroke in a Phone box; its menu still pastes.
    const Paste phoneHow = how == Paste::CtrlV ? Paste::Menu : how;

    MessageScript messages;
    EntryForm add(AddEntries{insertInto(*m_list)});
    runDialog(add, [&](QDialog& dialog) {
        paste(box(dialog, "Family"), "Miller" + lineBreak, how);
        paste(box(dialog, "Short"), "Jo" + lineBreak + "hn", how);
        paste(box(dialog, "Phone"), "555" + lineBreak + "12", phoneHow);
        QCOMPARE(boxTexts(dialog), (QStringList{"Miller ", "Jo hn", "555 12"}));
        press(Qt::Key_Return);
        QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
    });
    QCOMPARE(m_list->items(), QStringList{makeEntryLine("Miller", "Jo hn", "555 12")});

    EntryForm edit(EditEntry{m_list->itemText(0)});
    const bool accepted = runDialog(edit, [&](QDialog& dialog) {
        paste(box(dialog, "Family"), lineBreak + "Smith", how);
        paste(box(dialog, "Short"), lineBreak, how);
        paste(box(dialog, "Phone"), lineBreak + "9", phoneHow);
        QCOMPARE(boxTexts(dialog), (QStringList{"Miller Smith", "Jo hn ", "555 12 9"}));
        press(Qt::Key_Return);
    });
    QVERIFY(accepted);
    QCOMPARE(lineOrNothing(edit.entry()),
             lineOrNothing(makeEntryLine("Miller Smith", "Jo hn", "555 12 9")));
    QCOMPARE(messages.asked.size(), 0);
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

    QTest::newRow("plain") << "Smith"
                           << "John"
                           << "+49-555-12";
    QTest::newRow("bar in the family name") << "Smith|Jones"
                                            << "J|P"
                                            << "555";
    QTest::newRow("family name of 30") << QString("Abcdefghij").repeated(3) << "x"
                                       << "1";
    QTest::newRow("all columns full")
        << QString(30, u'F') << QString(20, u'S') << QString(20, u'9');
    QTest::newRow("inner blanks") << "van der Berg"
                                  << "J P"
                                  << "0 12";
}

void TestEntryDialogs::editFillsBoxesByPosition()
{
    QFETCH(QString, family);
    QFETCH(QString, shortName);
    QFETCH(QString, phone);

    EntryForm form(EditEntry{makeEntryLine(family, shortName, phone)});
    const bool accepted = runDialog(form, [&](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Item"));
        QCOMPARE(boxTexts(dialog), (QStringList{family, shortName, phone}));
        QCOMPARE(focused(), box(dialog, "Family"));
        press(Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    });
    QVERIFY(!accepted);
}

void TestEntryDialogs::editHandsOutTheNewLine_data()
{
    QTest::addColumn<QString>("familyTyped");
    QTest::addColumn<QString>("phoneAppended");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing changed, Edit clicked")
        << QString() << QString() << "click" << QStringList{"Adams", "Ann", "123"};
    QTest::newRow("family replaced, Enter from Phone")
        << "Young"
        << "4"
        << "enter" << QStringList{"Young", "Ann", "1234"};
    QTest::newRow("blanks around the new family")
        << "  Young " << QString() << "click" << QStringList{"Young", "Ann", "123"};
}

void TestEntryDialogs::editHandsOutTheNewLine()
{
    QFETCH(QString, familyTyped);
    QFETCH(QString, phoneAppended);
    QFETCH(QString, how);
    QFETCH(QStringList, expected);

    EntryForm form(EditEntry{makeEntryLine("Adams", "Ann", "123")});
    QCOMPARE(lineOrNothing(form.entry()), lineOrNothing(std::nullopt));
    MessageScript messages;
    const bool accepted = runDialog(form, [&](QDialog& dialog) {
        if (!familyTyped.isNull()) {
            box(dialog, "Family")->selectAll();
            type(familyTyped);
        }
        box(dialog, "Phone")->setFocus();
        press(Qt::Key_End);
        if (!phoneAppended.isEmpty())
            type(phoneAppended);
        if (how == QLatin1String("enter"))
            press(Qt::Key_Return);
        else
            QTest::mouseClick(child<QPushButton>(dialog, "EditCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    QVERIFY(accepted);
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(lineOrNothing(form.entry()),
             lineOrNothing(makeEntryLine(expected.at(0), expected.at(1), expected.at(2))));
}

void TestEntryDialogs::editRefusesIncompleteFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("replacement");

    QTest::newRow("family emptied") << "Family"
                                    << "";
    QTest::newRow("family only spaces") << "Family"
                                        << "  ";
    QTest::newRow("short emptied") << "Short"
                                   << "";
    QTest::newRow("phone emptied") << "Phone"
                                   << "";
}

void TestEntryDialogs::editRefusesIncompleteFields()
{
    QFETCH(QString, name);
    QFETCH(QString, replacement);

    EntryForm form(EditEntry{makeEntryLine("Baker", "Tom", "12")});
    MessageScript messages;
    const bool accepted = runDialog(form, [&](QDialog& dialog) {
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
        QCOMPARE(lineOrNothing(form.entry()), lineOrNothing(std::nullopt));
    });
    QVERIFY(!accepted);
    QCOMPARE(lineOrNothing(form.entry()), lineOrNothing(std::nullopt));
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

    EntryForm form(EditEntry{makeEntryLine("Baker", "Tom", "12")});
    MessageScript messages;
    const bool accepted = runDialog(form, [&](QDialog& dialog) {
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
    QVERIFY(!accepted);
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(lineOrNothing(form.entry()), lineOrNothing(std::nullopt));
}

QTEST_MAIN(TestEntryDialogs)
#include "test_entry_dialogs.moc"
