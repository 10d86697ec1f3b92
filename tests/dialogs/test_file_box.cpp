#include "core/folder_listing.h"
#include "dialogs/file_box.h"
#include "test_support.h"
#include "widgets/dir_list.h"
#include "widgets/drive_list.h"
#include "widgets/file_list.h"
#include "widgets/geometry.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace callvista;
using namespace callvista::testing;

namespace {

// The three ways the document commands ask for a file.
const ChooserOptions NewOptions{QStringLiteral("Enter a New Callvista FileName"),
                                QStringLiteral("Make"), true, QStringLiteral("CVA"), false};
const ChooserOptions OpenOptions{QStringLiteral("Open a Callvista"), QStringLiteral("Open"), false,
                                 QStringLiteral("CVA"), true};
const ChooserOptions SaveAsOptions{QStringLiteral("Save as to"), QStringLiteral("Save"), true,
                                   QStringLiteral("CVA"), false};

ChooserOptions optionsNamed(const QString& name)
{
    if (name == QLatin1String("New"))
        return NewOptions;
    if (name == QLatin1String("Open"))
        return OpenOptions;
    return SaveAsOptions;
}

// What a chooser handed back when it closed.
struct Chosen {
    bool accepted = false;
    QString path;
};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QLineEdit* nameBox(const QDialog& dialog,
                   std::source_location caller = std::source_location::current())
{
    return child<QLineEdit>(dialog, "boxFileName", caller);
}

QString listedFiles(const QDialog& dialog)
{
    QStringList names;
    const auto* list = child<QListWidget>(dialog, "boxFile");
    for (int i = 0; i < list->count(); ++i)
        names.append(list->item(i)->text());
    return names.join(u',');
}

QTreeWidgetItem* folderItem(const QDialog& dialog, const QString& name)
{
    const auto found = child<QTreeWidget>(dialog, "boxDir")
                           ->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found.first() : nullptr;
}

// A person's double click: press, release, the double click, release.
void click(QWidget* viewport, QPoint at, bool twice)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    if (twice) {
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }
}

void clickFolder(const QDialog& dialog, const QString& name, bool twice)
{
    auto* tree = child<QTreeWidget>(dialog, "boxDir");
    QTreeWidgetItem* item = folderItem(dialog, name);
    QVERIFY2(item, qPrintable(name));
    click(tree->viewport(), tree->visualItemRect(item).center(), twice);
}

void clickFile(const QDialog& dialog, const QString& name, bool twice)
{
    auto* list = child<QListWidget>(dialog, "boxFile");
    const auto found = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    click(list->viewport(), list->visualItemRect(found.first()).center(), twice);
}

// A chooser that cannot open the folders `refuses` names when a drive is
// chosen, as if the file system refused them.
class RefusingFileBox : public FileBox
{
public:
    using FileBox::FileBox;

    std::function<bool(const QString& folder)> refuses;

protected:
    bool openFolder(const QString& folder) override
    {
        return !(refuses && refuses(folder)) && FileBox::openFolder(folder);
    }
};

void paste(QWidget* box, const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class TestFileBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void optionsNameTheWindowAndTheButton_data();
    void optionsNameTheWindowAndTheButton();
    void extensionComesFromTheOptions_data();
    void extensionComesFromTheOptions();
    void tabOrderFocusAndAccessKey_data();
    void tabOrderFocusAndAccessKey();
    void typedNameGetsTheExtension_data();
    void typedNameGetsTheExtension();
    void refusedNamesKeepTheDialogOpen_data();
    void refusedNamesKeepTheDialogOpen();
    void listedFileKeepsItsLetterCase();
    void doubleClickOnAFileAccepts();
    void keysInTheFileListChooseAFile_data();
    void keysInTheFileListChooseAFile();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void hiddenDocumentIsAskedAbout_data();
    void hiddenDocumentIsAskedAbout();
    void leavingWithoutAResult_data();
    void leavingWithoutAResult();
    void typedSeparatorsDoNothing();
    void lockedBoxRefusesTypingAndPaste();
    void highlightedFolderDoesNotCount();
    void nameFromOneFolderGoesToTheOpenedOne();
    void everyOpeningStartsAtTheCurrentFolder();
    void unreadableDriveFallsBackToTheRoot();
    void unreadableFallbackKeepsTheFolder();

private:
    // Shows a chooser as the document commands do, lets the step type and
    // click into it, and keeps what it handed back.
    void runChooser(const ChooserOptions& options, const ModalScript::Step& step, Chosen& chosen);
    void runChooser(const ChooserOptions& options, const ModalScript::Step& step);

    std::unique_ptr<ScratchFolder> m_temp;
    QString m_folder;
};

void TestFileBox::init()
{
    m_temp = std::make_unique<ScratchFolder>();
    m_folder = m_temp->path();
    QVERIFY(!m_folder.isEmpty());
}

void TestFileBox::cleanup()
{
    m_temp.reset();
}

void TestFileBox::runChooser(const ChooserOptions& options, const ModalScript::Step& step,
                             Chosen& chosen)
{
    FileBox box(options);
    QVERIFY(box.path().isEmpty());
    chosen.accepted = runDialog(box, step);
    chosen.path = box.path();
    // A path comes back exactly when the chooser was accepted.
    QCOMPARE(chosen.path.isEmpty(), !chosen.accepted);
}

void TestFileBox::runChooser(const ChooserOptions& options, const ModalScript::Step& step)
{
    Chosen ignored;
    runChooser(options, step, ignored);
}

void TestFileBox::controlsStandAtTheirPlaces_data()
{
    addControlRows(FileBox::table().controls);
}

void TestFileBox::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    FileBox box(NewOptions);
    QCOMPARE(box.objectName(), QStringLiteral("FileBox"));
    QCOMPARE(box.size(), twipsSize(FileBox::table().twips));
    QCOMPARE(box.palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QWidget* control = box.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), twipsRect(twips));
    if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), caption);
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        // The action button's caption is the options' own.
        QVERIFY(caption.isEmpty());
        QCOMPARE(button->text(), NewOptions.actionCaption);
        QVERIFY(button->isDefault());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QVERIFY(edit->text().isEmpty());
        QVERIFY(edit->font().bold());
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::white));
    }
}

void TestFileBox::optionsNameTheWindowAndTheButton_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("action");
    QTest::newRow("New") << "New"
                         << "Enter a New Callvista FileName"
                         << "Make";
    QTest::newRow("Open") << "Open"
                          << "Open a Callvista"
                          << "Open";
    QTest::newRow("Save As") << "Save As"
                             << "Save as to"
                             << "Save";
}

void TestFileBox::optionsNameTheWindowAndTheButton()
{
    QFETCH(QString, config);
    QFETCH(QString, title);
    QFETCH(QString, action);
    runChooser(optionsNamed(config), [&](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(child<QPushButton>(dialog, "btnAction")->text(), action);
    });
}

void TestFileBox::extensionComesFromTheOptions_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("otherName");
    QTest::addColumn<QString>("file");
    QTest::newRow("documents") << "CVA"
                               << "book.CVA,old.cva"
                               << "notes.txt"
                               << "report.CVA";
    QTest::newRow("text files") << "TXT"
                                << "notes.txt"
                                << "book.CVA"
                                << "report.TXT";
}

void TestFileBox::extensionComesFromTheOptions()
{
    QFETCH(QString, extension);
    QFETCH(QString, listed);
    QFETCH(QString, otherName);
    QFETCH(QString, file);
    for (const char* name : {"book.CVA", "old.cva", "notes.txt"})
        touch(m_folder + "/" + name);
    ChooserOptions options = SaveAsOptions;
    options.extension = extension;
    MessageScript messages;
    Chosen chosen;
    runChooser(
        options,
        [&](QDialog& dialog) {
            QCOMPARE(listedFiles(dialog), listed);
            paste(nameBox(dialog), otherName);
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(messages.asked.size(), 1);
            QCOMPARE(messages.asked.first().text, "Only ." + extension + " Files is Valid");

            nameBox(dialog)->clear();
            QTest::keyClicks(nameBox(dialog), QStringLiteral("report"));
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
        },
        chosen);
    QCOMPARE(messages.asked.size(), 1);
    QVERIFY(chosen.accepted);
    QCOMPARE(chosen.path, native(m_folder + "/" + file));
}

void TestFileBox::tabOrderFocusAndAccessKey_data()
{
    QTest::addColumn<QString>("config");
    QTest::newRow("editable") << "New";
    QTest::newRow("locked") << "Open";
}

void TestFileBox::tabOrderFocusAndAccessKey()
{
    QFETCH(QString, config);
    runChooser(optionsNamed(config), [](QDialog& dialog) {
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTRY_COMPARE(QApplication::focusWidget(), nameBox(dialog));
        QStringList order;
        for (int i = 0; i < 5; ++i) {
            order.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"boxFileName", "boxDrive", "boxDir", "boxFile", "btnAction"}));
        QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), nameBox(dialog));
    });
}

void TestFileBox::typedNameGetsTheExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QString>("file");
    QTest::newRow("Enter") << "report" << true << "report.CVA";
    QTest::newRow("button") << "report" << false << "report.CVA";
    QTest::newRow("spaces around") << "  two words  " << true << "two words.CVA";
    QTest::newRow("typed dot is dropped") << "my.report" << true << "myreport.CVA";
}

void TestFileBox::typedNameGetsTheExtension()
{
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(QString, file);
    MessageScript messages;
    Chosen chosen;
    runChooser(
        NewOptions,
        [&](QDialog& dialog) {
            QTest::keyClicks(nameBox(dialog), typed);
            if (enter)
                QTest::keyClick(nameBox(dialog), Qt::Key_Return);
            else
                QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        },
        chosen);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(chosen.accepted);
    QCOMPARE(chosen.path, native(m_folder) + QDir::separator() + file);
}

void TestFileBox::refusedNamesKeepTheDialogOpen_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << "    "
                           << "You Must Specify a FileName!";
    QTest::newRow("wrong extension") << "notes.txt"
                                     << "Only .CVA Files is Valid";
    QTest::newRow("folder in the name") << "../escape"
                                        << "Error On Input\\Output Path+FileName!";
    QTest::newRow("pattern") << "*.cva"
                             << "Error On Input\\Output Path+FileName!";
    QTest::newRow("tab") << "a\tb"
                         << "Error On Input\\Output Path+FileName!";
    QTest::newRow("longer than the file system takes")
        << QString(300, u'n')
        << "Error On Input\\Output Path+FileName!\n\nThe name is 304 bytes long with its "
           "extension; a file name can be at most 255 bytes.";
}

void TestFileBox::refusedNamesKeepTheDialogOpen()
{
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    touch(m_folder + "/a.CVA");
    MessageScript messages;
    Chosen chosen;
    runChooser(
        SaveAsOptions,
        [&](QDialog& dialog) {
            paste(nameBox(dialog), pasted);
            QCOMPARE(nameBox(dialog)->text(), pasted);
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QVERIFY(qobject_cast<FileBox*>(&dialog)->path().isEmpty());
            QCOMPARE(messages.asked.size(), 1);
            QCOMPARE(messages.asked.first().text, message);
            QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
            QCOMPARE(messages.asked.first().buttons, MessageButtons::Ok);

            nameBox(dialog)->clear();
            paste(nameBox(dialog), QStringLiteral("my.backup"));
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
        },
        chosen);
    QCOMPARE(messages.asked.size(), 1);
    QVERIFY(chosen.accepted);
    QCOMPARE(chosen.path, native(m_folder + "/my.backup.CVA"));
}

void TestFileBox::listedFileKeepsItsLetterCase()
{
    touch(m_folder + "/old.cva");
    touch(m_folder + "/notes.txt");
    MessageScript messages;
    Chosen chosen;
    runChooser(
        OpenOptions,
        [&](QDialog& dialog) {
            QCOMPARE(listedFiles(dialog), QStringLiteral("old.cva"));
            clickFile(dialog, QStringLiteral("old.cva"), false);
            QCOMPARE(nameBox(dialog)->text(), QStringLiteral("old.cva"));
            QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
        },
        chosen);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(chosen.accepted);
    QCOMPARE(chosen.path, native(m_folder + "/old.cva"));
}

void TestFileBox::doubleClickOnAFileAccepts()
{
    touch(m_folder + "/first.CVA");
    touch(m_folder + "/second.CVA");
    MessageScript messages;
    Chosen chosen;
    runChooser(
        OpenOptions,
        [&](QDialog& dialog) {
            clickFile(dialog, QStringLiteral("second.CVA"), true);
            QVERIFY(!dialog.isVisible());
        },
        chosen);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(chosen.accepted);
    QCOMPARE(chosen.path, native(m_folder + "/second.CVA"));
}

void TestFileBox::keysInTheFileListChooseAFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("chosen");

    const QStringList three{"a.CVA", "b.CVA", "c.CVA"};
    QTest::newRow("one document, Down")
        << QStringList{"book.CVA"} << QList<int>{Qt::Key_Down} << "book.CVA";
    QTest::newRow("one document, Down twice stays on it")
        << QStringList{"book.CVA"} << QList<int>{Qt::Key_Down, Qt::Key_Down} << "book.CVA";
    QTest::newRow("Home") << three << QList<int>{Qt::Key_Home} << "a.CVA";
    QTest::newRow("End") << three << QList<int>{Qt::Key_End} << "c.CVA";
    QTest::newRow("Up with nothing selected") << three << QList<int>{Qt::Key_Up} << "c.CVA";
    QTest::newRow("Down, Down") << three << QList<int>{Qt::Key_Down, Qt::Key_Down} << "b.CVA";
    QTest::newRow("Down past the last")
        << three << QList<int>{Qt::Key_End, Qt::Key_Down, Qt::Key_Down} << "c.CVA";
    QTest::newRow("Page Down") << three << QList<int>{Qt::Key_PageDown} << "a.CVA";
    QTest::newRow("first letter") << three << QList<int>{Qt::Key_B} << "b.CVA";
}

void TestFileBox::keysInTheFileListChooseAFile()
{
    QFETCH(QStringList, files);
    QFETCH(QList<int>, keys);
    QFETCH(QString, chosen);

    for (const QString& file : files)
        touch(m_folder + "/" + file);
    MessageScript messages;
    Chosen result;
    runChooser(
        OpenOptions,
        [&](QDialog& dialog) {
            QVERIFY(activated(dialog));
            QCOMPARE(focused(), nameBox(dialog));
            // Name box, drive list, folder list, file list.
            for (int i = 0; i < 3; ++i)
                press(Qt::Key_Tab);
            QCOMPARE(focused(), child(dialog, "boxFile"));
            for (const int key : keys)
                press(Qt::Key(key));
            QCOMPARE(nameBox(dialog)->text(), chosen);
            press(Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
        },
        result);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(result.accepted);
    QCOMPARE(result.path, native(m_folder + "/" + chosen));
}

void TestFileBox::overwriteQuestion_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("yes");
    QTest::newRow("New, Yes") << "New" << true << true;
    QTest::newRow("New, No") << "New" << true << false;
    QTest::newRow("Save As, Yes") << "Save As" << true << true;
    QTest::newRow("Save As, No") << "Save As" << true << false;
    QTest::newRow("Open") << "Open" << false << false;
}

void TestFileBox::overwriteQuestion()
{
    QFETCH(QString, config);
    QFETCH(bool, asked);
    QFETCH(bool, yes);
    touch(m_folder + "/book.CVA");
    const QString path = native(m_folder + "/book.CVA");
    MessageScript messages;
    messages.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
    Chosen chosen;
    runChooser(
        optionsNamed(config),
        [&](QDialog& dialog) {
            clickFile(dialog, QStringLiteral("book.CVA"), false);
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
            QCOMPARE(dialog.isVisible(), asked && !yes);
        },
        chosen);
    QCOMPARE(messages.asked.size(), asked ? 1 : 0);
    if (asked) {
        const MessageRequest& question = messages.asked.first();
        QCOMPARE(question.text, "Are You Sure to OverWrite on '" + path + "' ?");
        QCOMPARE(question.title, QStringLiteral("Warning"));
        QCOMPARE(question.buttons, MessageButtons::YesNo);
    }
    const bool accepted = !asked || yes;
    QCOMPARE(chosen.accepted, accepted);
    QCOMPARE(chosen.path, accepted ? path : QString());
}

void TestFileBox::hiddenDocumentIsAskedAbout_data()
{
    QTest::addColumn<QString>("config");
    QTest::newRow("New") << "New";
    QTest::newRow("Save As") << "Save As";
}

// The list hides hidden files, as choosers do, but the name of one can be
// pasted, dot and all; it is asked about like any other.
void TestFileBox::hiddenDocumentIsAskedAbout()
{
    QFETCH(QString, config);
    touch(m_folder + "/.secret.CVA");
    const QString path = native(m_folder + "/.secret.CVA");
    MessageScript messages;
    messages.answer(MessageAnswer::No);
    messages.answer(MessageAnswer::Yes);
    Chosen chosen;
    runChooser(
        optionsNamed(config),
        [&](QDialog& dialog) {
            QVERIFY(child<QListWidget>(dialog, "boxFile")
                        ->findItems(".secret.CVA", Qt::MatchExactly)
                        .isEmpty());
            paste(nameBox(dialog), QStringLiteral(".secret"));
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
        },
        chosen);
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.first().text, "Are You Sure to OverWrite on '" + path + "' ?");
    QCOMPARE(chosen.path, path);
}

void TestFileBox::leavingWithoutAResult_data()
{
    QTest::addColumn<QString>("from");
    for (const char* name : {"boxFileName", "boxDrive", "boxDir", "boxFile", "btnAction"})
        QTest::newRow(name) << name;
    QTest::newRow("close box") << "";
}

void TestFileBox::leavingWithoutAResult()
{
    QFETCH(QString, from);
    touch(m_folder + "/book.CVA");
    MessageScript messages;
    Chosen chosen;
    runChooser(
        NewOptions,
        [&](QDialog& dialog) {
            QTest::keyClicks(nameBox(dialog), QStringLiteral("typed"));
            if (from.isEmpty()) {
                QVERIFY(dialog.close());
            } else {
                QWidget* control = dialog.findChild<QWidget*>(from);
                control->setFocus();
                QTest::keyClick(control, Qt::Key_Escape);
            }
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        },
        chosen);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(!chosen.accepted);
    QCOMPARE(chosen.path, QString());
}

void TestFileBox::typedSeparatorsDoNothing()
{
    runChooser(NewOptions, [](QDialog& dialog) {
        QLineEdit* box = nameBox(dialog);
        QTest::keyClicks(box, QStringLiteral("a.b\\c:d/e"));
        QCOMPARE(box->text(), QStringLiteral("abcde"));
        QCOMPARE(box->cursorPosition(), 5);
    });
}

void TestFileBox::lockedBoxRefusesTypingAndPaste()
{
    touch(m_folder + "/listed.CVA");
    runChooser(OpenOptions, [](QDialog& dialog) {
        QLineEdit* box = nameBox(dialog);
        QTest::keyClicks(box, QStringLiteral("typed"));
        QCOMPARE(box->text(), QString());
        paste(box, QStringLiteral("pasted"));
        QCOMPARE(box->text(), QString());
        const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        bool pasteOffered = false;
        for (QAction* action : menu->actions())
            pasteOffered |=
                action->objectName() == QLatin1String("edit-paste") && action->isEnabled();
        QVERIFY(!pasteOffered);

        clickFile(dialog, QStringLiteral("listed.CVA"), false);
        QCOMPARE(box->text(), QStringLiteral("listed.CVA"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("listed.CVA"));
    });
}

void TestFileBox::highlightedFolderDoesNotCount()
{
    QVERIFY(QDir(m_folder).mkdir("sub"));
    QVERIFY(QDir(m_folder).mkdir("other"));
    touch(m_folder + "/sub/inside.CVA");
    MessageScript messages;
    Chosen chosen;
    runChooser(
        NewOptions,
        [&](QDialog& dialog) {
            auto* dir = child<DirList>(dialog, "boxDir");
            auto* files = child<QListWidget>(dialog, "boxFile");
            QCOMPARE(dir->path(), m_folder);
            clickFolder(dialog, QStringLiteral("sub"), false);
            const QTreeWidgetItem* highlighted = dir->currentItem();
            QVERIFY(highlighted);
            QCOMPARE(highlighted->text(0), QStringLiteral("sub"));
            QCOMPARE(dir->path(), m_folder);
            QCOMPARE(files->count(), 0);

            // Enter in the folder list opens the highlighted folder and does not
            // accept the dialog.
            clickFolder(dialog, QStringLiteral("other"), false);
            QTest::keyClick(dir, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dir->path(), m_folder + "/other");

            clickFolder(dialog, QFileInfo(m_folder).fileName(), true);
            QCOMPARE(dir->path(), m_folder);
            clickFolder(dialog, QStringLiteral("sub"), false);
            QTest::keyClicks(nameBox(dialog), QStringLiteral("report"));
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
        },
        chosen);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(chosen.accepted);
    QCOMPARE(chosen.path, native(m_folder + "/report.CVA"));
}

void TestFileBox::nameFromOneFolderGoesToTheOpenedOne()
{
    QVERIFY(QDir(m_folder).mkdir("sub"));
    touch(m_folder + "/here.CVA");
    MessageScript messages;
    Chosen chosen;
    runChooser(
        OpenOptions,
        [&](QDialog& dialog) {
            clickFile(dialog, QStringLiteral("here.CVA"), false);
            clickFolder(dialog, QStringLiteral("sub"), true);
            QCOMPARE(child<DirList>(dialog, "boxDir")->path(), m_folder + "/sub");
            QCOMPARE(child<QListWidget>(dialog, "boxFile")->count(), 0);
            QCOMPARE(nameBox(dialog)->text(), QStringLiteral("here.CVA"));
            QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
        },
        chosen);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(chosen.accepted);
    QCOMPARE(chosen.path, native(m_folder + "/sub/here.CVA"));
}

void TestFileBox::everyOpeningStartsAtTheCurrentFolder()
{
    QVERIFY(QDir(m_folder).mkdir("sub"));
    touch(m_folder + "/sub/deep.CVA");
    for (int opening = 0; opening < 2; ++opening) {
        Chosen chosen;
        runChooser(
            OpenOptions,
            [&](QDialog& dialog) {
                auto* dir = child<DirList>(dialog, "boxDir");
                QCOMPARE(dir->path(), m_folder);
                QCOMPARE(child<FileList>(dialog, "boxFile")->path(), m_folder);
                QCOMPARE(child<DriveList>(dialog, "boxDrive")->drive(), driveOf(m_folder));
                QVERIFY(nameBox(dialog)->text().isEmpty());
                clickFolder(dialog, QStringLiteral("sub"), true);
                QCOMPARE(dir->path(), m_folder + "/sub");
                QCOMPARE(child<QListWidget>(dialog, "boxFile")->count(), 1);
                clickFile(dialog, QStringLiteral("deep.CVA"), false);
            },
            chosen);
        QCOMPARE(QDir::currentPath(), m_folder);
        // A file picked but never accepted is not handed back.
        QVERIFY(!chosen.accepted);
    }
}

void TestFileBox::unreadableDriveFallsBackToTheRoot()
{
    const QString drive = m_folder + "/mount";
    QVERIFY(QDir(m_folder).mkdir("mount"));
    MessageScript messages;
    runChooser(NewOptions, [&](QDialog& dialog) {
        auto* drives = child<DriveList>(dialog, "boxDrive");
        auto* dir = child<DirList>(dialog, "boxDir");
        drives->setDrives({QDir::rootPath(), drive});
        drives->setDrive(drive);
        QCOMPARE(dir->path(), drive);
        QCOMPARE(child<FileList>(dialog, "boxFile")->path(), drive);

        // The drive goes away while it is listed.
        drives->setDrive(QDir::rootPath());
        QVERIFY(QDir(drive).removeRecursively());
        drives->setCurrentIndex(drives->findData(drive));
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().text, QStringLiteral("Error On Drive!"));
        QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
        QCOMPARE(drives->drive(), fallbackDrive());
        QCOMPARE(dir->path(), fallbackDrive());
        QCOMPARE(child<FileList>(dialog, "boxFile")->path(), fallbackDrive());
        QVERIFY(dialog.isVisible());
    });
}

void TestFileBox::unreadableFallbackKeepsTheFolder()
{
    const QString drive = m_folder + "/mount";
    QVERIFY(QDir(m_folder).mkdir("mount"));
    MessageScript messages;
    RefusingFileBox box(NewOptions);
    const bool accepted = runDialog(box, [&](QDialog& dialog) {
        auto* drives = child<DriveList>(dialog, "boxDrive");
        auto* dir = child<DirList>(dialog, "boxDir");
        const QString startDrive = drives->drive();
        box.refuses = [&](const QString& folder) {
            return folder == drive || folder == fallbackDrive();
        };
        drives->setDrives({QDir::rootPath(), startDrive, drive});
        drives->setDrive(startDrive);
        drives->setDrive(drive);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().text, QStringLiteral("Error On Drive!"));
        QCOMPARE(dir->path(), m_folder);
        QCOMPARE(drives->drive(), driveOf(m_folder));

        QTest::keyClicks(nameBox(dialog), QStringLiteral("still"));
        QTest::keyClick(nameBox(dialog), Qt::Key_Return);
    });
    QVERIFY(accepted);
    QCOMPARE(box.path(), native(m_folder + "/still.CVA"));
}

QTEST_MAIN(TestFileBox)
#include "test_file_box.moc"
