#pragma once

#include "core/entry_line.h"
#include "file_support.h"
#include "widgets/entry_list.h"
#include "widgets/form_table.h"
#include "widgets/message_box.h"
#include "widgets/modal.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <source_location>
#include <type_traits>

// What the tests of the windows share: scripts that answer message boxes and
// drive modal dialogs, typing where the focus is, and the entry list and
// document of the main window as a person reaches them, through controls.
namespace callvista::testing {

// Answers the program's message boxes in order and keeps what was asked.
// Scripts nest: the one before is back when this one ends.
class MessageScript
{
public:
    MessageScript()
    {
        m_previous = setMessageResponder([this](const MessageRequest& request) {
            asked.append(request);
            if (answers.empty()) {
                ++unanswered;
                return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok
                                                             : MessageAnswer::No;
            }
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageScript() { setMessageResponder(std::move(m_previous)); }
    MessageScript(const MessageScript&) = delete;
    MessageScript& operator=(const MessageScript&) = delete;

    void answer(MessageAnswer next) { answers.push_back(next); }

    QList<MessageRequest> asked;
    std::deque<MessageAnswer> answers;
    int unanswered = 0;

private:
    MessageResponder m_previous;
};

// Drives the program's modal dialogs in order: each step gets the real
// dialog, shown, and may type and click into it. Scripts nest like
// MessageScript.
class ModalScript
{
public:
    using Step = std::function<void(QDialog&)>;

    ModalScript()
    {
        m_previous = setModalDriver([this](QDialog& dialog) {
            shown.append(dialog.objectName());
            if (steps.empty()) {
                ++unexpected;
                return;
            }
            Step step = std::move(steps.front());
            steps.pop_front();
            step(dialog);
        });
    }
    ~ModalScript() { setModalDriver(std::move(m_previous)); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    void then(Step step) { steps.push_back(std::move(step)); }

    QStringList shown;
    std::deque<Step> steps;
    int unexpected = 0;

private:
    ModalDriver m_previous;
};

// Catches what no test expects: a message or a dialog that reaches one of
// these would otherwise wait for a person. Made before the window, checked
// after it is gone.
class UnexpectedWindows
{
public:
    // What was shown, one line each; empty when nothing was.
    [[nodiscard]] QString shown() const
    {
        QStringList unexpected = m_dialogs.shown;
        for (const MessageRequest& request : m_messages.asked)
            unexpected.append(request.title + QStringLiteral(": ") + request.text);
        return unexpected.join(u'\n');
    }

private:
    MessageScript m_messages;
    ModalScript m_dialogs;
};

// What stands in for a missing control of kind T: the kind itself, or a
// push button for the abstract button.
template <typename T>
using StandIn = std::conditional_t<std::is_abstract_v<T>, QPushButton, T>;

// The named control. A missing one fails the test at the caller's line, and
// the caller gets a stand-in, a control of that kind on no window that lives
// as long as `parent`, so that it runs on to its end instead of crashing.
template <typename T = QWidget>
T* child(const QWidget& parent, const char* name,
         std::source_location caller = std::source_location::current())
{
    static_assert(std::is_base_of_v<T, StandIn<T>>, "no stand-in for this abstract kind");
    if (T* found = parent.findChild<T*>(QLatin1String(name)))
        return found;
    QTest::qFail(qPrintable(QStringLiteral("no control named %1 in %2")
                                .arg(QLatin1String(name), parent.objectName())),
                 caller.file_name(), int(caller.line()));
    auto* standIn = new StandIn<T>();
    QObject::connect(&parent, &QObject::destroyed, standIn, [standIn] { delete standIn; });
    return standIn;
}

// The columns "name", "twips" and "caption", and a row for each control, so
// that a test holds the controls made against the table they were made from.
inline void addControlRows(const QList<FormControl>& controls)
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");
    for (const FormControl& control : controls)
        QTest::newRow(control.name)
            << QString::fromLatin1(control.name) << control.twips << control.caption;
}

// The window system reports a window active before the application hands
// it the keyboard focus; wait for both.
inline bool activated(QWidget& window)
{
    return QTest::qWaitForWindowActive(&window)
           && QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; });
}

// Typing and pressing keys go where the keyboard focus is, as a person's do.
inline QWidget* focused()
{
    return QApplication::focusWidget();
}

inline void type(const QString& text)
{
    QTest::keyClicks(focused(), text);
}

inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, modifiers);
}

// Shows the dialog as the program shows every dialog, through runModal, and
// runs the step in it once it has the keyboard. Returns whether the dialog
// was accepted.
inline bool runDialog(QDialog& dialog, const std::function<void(QDialog&)>& step,
                      std::source_location caller = std::source_location::current())
{
    ModalScript script;
    script.then([&](QDialog& shown) {
        QVERIFY2(activated(shown), qPrintable(shown.objectName() + " never had the keyboard"));
        step(shown);
    });
    const bool accepted = runModal(dialog);
    if (script.shown != QStringList{dialog.objectName()})
        QTest::qFail(qPrintable("shown instead of " + dialog.objectName() + ": "
                                + script.shown.join(QStringLiteral(", "))),
                     caller.file_name(), int(caller.line()));
    return accepted;
}

inline void showActive(QWidget& window,
                       std::source_location caller = std::source_location::current())
{
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        QTest::qFail(qPrintable(window.objectName() + QStringLiteral(" did not become active")),
                     caller.file_name(), int(caller.line()));
}

// The main window's entry list, found by its name.
inline EntryList* entryList(const QWidget& window,
                            std::source_location caller = std::source_location::current())
{
    return child<EntryList>(window, "AdrList", caller);
}

// What the Add dialog is given to insert into: the list's own insertion.
inline std::function<bool(const QString&)> insertInto(EntryList& list)
{
    return [&list](const QString& line) { return list.addItem(line); };
}

// The family names of the list's entries, top to bottom.
inline QStringList families(const QWidget& window)
{
    QStringList result;
    const EntryList* list = entryList(window);
    for (int i = 0; i < list->count(); ++i)
        result.append(entryField(list->itemText(i), Field::Family));
    return result;
}

// The entry lines of these entries, each given as family, short name, phone.
inline QStringList linesOf(const QList<QStringList>& entries)
{
    QStringList lines;
    for (const QStringList& e : entries)
        lines.append(makeEntryLine(e.value(0), e.value(1), e.value(2)));
    return lines;
}

// Puts entries into the window's list as a document would bring them: the
// document does not count as changed by this.
inline void putEntries(const QWidget& window, const QList<QStringList>& entries)
{
    for (const QString& line : linesOf(entries))
        QVERIFY2(entryList(window)->addItem(line), qPrintable("the list refused " + line));
}

// Runs the File menu's command by its menu item.
inline void runMenu(const QWidget& window, const char* item,
                    std::source_location caller = std::source_location::current())
{
    if (QAction* action = window.findChild<QAction*>(QLatin1String(item)))
        action->trigger();
    else
        QTest::qFail(qPrintable(QStringLiteral("no menu item %1").arg(QLatin1String(item))),
                     caller.file_name(), int(caller.line()));
}

// Types entries into the Add dialog, as a person adds them: a change of the
// document.
inline void addEntries(const QWidget& window, const QList<QStringList>& entries)
{
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        for (const QStringList& e : entries) {
            child<QLineEdit>(dialog, "Family")->setText(e.value(0));
            child<QLineEdit>(dialog, "Short")->setText(e.value(1));
            child<QLineEdit>(dialog, "Phone")->setText(e.value(2));
            child<QPushButton>(dialog, "AddCmd")->click();
        }
        child<QPushButton>(dialog, "DoneCmd")->click();
    });
    child<QAbstractButton>(window, "AddCmd")->click();
    QCOMPARE(dialogs.shown, QStringList{"AddForm"});
}

// Whether the window holds unsaved changes, as a person finds out: New asks
// about them first. The question is answered Cancel, or the chooser left,
// so that nothing changes.
inline bool asksAboutChanges(const QWidget& window)
{
    MessageScript messages;
    messages.answer(MessageAnswer::Cancel);
    ModalScript dialogs;
    dialogs.then([](QDialog& dialog) { dialog.reject(); });
    runMenu(window, "NewMenu");
    return !messages.asked.isEmpty() && messages.asked.first().title == QLatin1String("Alert");
}

// A chooser step: picks the file from the file list by a click, as a person
// does, and presses the action button.
inline ModalScript::Step pickFile(const QString& name)
{
    return [name](QDialog& dialog) {
        auto* list = child<QListWidget>(dialog, "boxFile");
        const auto found = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(found.size() == 1,
                 qPrintable(QStringLiteral("%1 is listed %2 times").arg(name).arg(found.size())));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
        QCOMPARE(child<QLineEdit>(dialog, "boxFileName")->text(), name);
        QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
    };
}

// A chooser step: types the name into the name box and presses Enter.
inline ModalScript::Step typeName(const QString& name)
{
    return [name](QDialog& dialog) {
        QTest::keyClicks(child<QLineEdit>(dialog, "boxFileName"), name);
        QTest::keyClick(child<QLineEdit>(dialog, "boxFileName"), Qt::Key_Return);
    };
}

// Opens the document of that name in the process's current folder through
// File, Open and the chooser's file list. The window must hold no unsaved
// changes.
inline void openDocument(const QWidget& window, const QString& name)
{
    ModalScript dialogs;
    dialogs.then(pickFile(name));
    runMenu(window, "OpenMenu");
    QCOMPARE(dialogs.shown, QStringList{"FileBox"});
    QCOMPARE(dialogs.unexpected, 0);
}

// The ways text reaches a box other than typing, each through what a person
// uses: Ctrl+V, the box's own context menu, and a drop.
enum class Paste { CtrlV, Menu, Drop };

inline void pasteByMenu(QLineEdit* target)
{
    const std::unique_ptr<QMenu> menu(target->createStandardContextMenu());
    for (QAction* action : menu->actions())
        if (action->text().startsWith(QLatin1String("&Paste"))) {
            action->trigger();
            return;
        }
    QFAIL("the context menu has no Paste");
}

inline void dropText(QLineEdit* target, const QString& text)
{
    QMimeData data;
    data.setText(text);
    // A drop lands only where the drag entered first.
    const QPoint end(target->width() - 2, target->height() / 2);
    QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY2(drop.isAccepted(), qPrintable(target->objectName() + " refused the drop"));
}

// Pastes through the real clipboard at the end of the box's text.
inline void paste(QLineEdit* target, const QString& text, Paste how)
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

} // namespace callvista::testing

Q_DECLARE_METATYPE(callvista::testing::Paste)

namespace callvista::testing {

// The columns "lineBreak" and "how": each line break a paste can bring, by
// each way a person pastes. Ctrl+V is a swallowed keystroke in a Phone box;
// a test pastes there by the context menu instead.
inline void addPastedLineBreakRows()
{
    QTest::addColumn<QString>("lineBreak");
    QTest::addColumn<Paste>("how");

    QTest::newRow("LF by Ctrl+V") << "\n" << Paste::CtrlV;
    QTest::newRow("CR by the context menu") << "\r" << Paste::Menu;
    QTest::newRow("CR LF by Ctrl+V") << "\r\n" << Paste::CtrlV;
    QTest::newRow("CR LF dropped") << "\r\n" << Paste::Drop;
}

} // namespace callvista::testing
