#include "app/geometry.h"
#include "app/main_window.h"
#include "core/file_name.h"
#include "core/folder_listing.h"
#include "dialogs/dir_list.h"
#include "dialogs/drive_list.h"
#include "dialogs/file_box.h"
#include "dialogs/file_list.h"
#include "test_support.h"

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

#include <memory>

#include <sys/stat.h>

using namespace callvista;
using namespace callvista::testing;

namespace {

struct Configuration {
    QString caption;
    QString action;
    bool warn = false;
    bool locked = false;
};

const Configuration NewConfig{QStringLiteral("Enter a New Callvista FileName"),
                              QStringLiteral("Make"), true, false};
const Configuration OpenConfig{QStringLiteral("Open a Callvista"), QStringLiteral("Open"), false,
                               true};
const Configuration SaveAsConfig{QStringLiteral("Save as to"), QStringLiteral("Save"), true,
                                 false};

Configuration configurationNamed(const QString& name)
{
    if (name == QLatin1String("New"))
        return NewConfig;
    if (name == QLatin1String("Open"))
        return OpenConfig;
    return SaveAsConfig;
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QLineEdit* nameBox(const QDialog& dialog)
{
    return child<QLineEdit>(dialog, "boxFileName");
}

QTreeWidgetItem* folderItem(const QDialog& dialog, const QString& name)
{
    const auto found = child<QTreeWidget>(dialog, "boxDir")->findItems(
        name, Qt::MatchExactly | Qt::MatchRecursive);
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

    void acceptName_data();
    void acceptName();
    void nameBoxKeys_data();
    void nameBoxKeys();
    void documentExists_data();
    void documentExists();
    void pseudoFileSystems_data();
    void pseudoFileSystems();
    void drivesStartAtTheRoot();
    void listsFilesAndFolders();

    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
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
    void leavingWithoutAResult_data();
    void leavingWithoutAResult();
    void typedSeparatorsDoNothing();
    void lockedBoxRefusesTypingAndPaste();
    void highlightedFolderDoesNotCount();
    void nameFromOneFolderGoesToTheOpenedOne();
    void everyOpeningStartsAtTheCurrentFolder();
    void unreadableDriveFallsBackToTheRoot();
    void unreadableFallbackKeepsTheFolder();
    void screenshot();

private:
    // Shows a configured chooser as the document commands do and lets the
    // step type and click into it.
    void runChooser(const Configuration& config, const ModalScript::Step& step);

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_folder;
    QString m_savedCurrent;
    std::unique_ptr<Main> m_main;
};

void TestFileBox::init()
{
    m_savedCurrent = QDir::currentPath();
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    QVERIFY(QDir::setCurrent(m_temp->path()));
    m_folder = QDir::currentPath();
    m_main = std::make_unique<Main>();
    showActive(*m_main);
}

void TestFileBox::cleanup()
{
    DirList::setFolderCheck({});
    m_main.reset();
    QDir::setCurrent(m_savedCurrent);
    m_temp.reset();
}

void TestFileBox::runChooser(const Configuration& config, const ModalScript::Step& step)
{
    ModalScript modal;
    modal.then(step);
    FileBox box(*m_main);
    box.configure(config.caption, config.action, config.warn, config.locked);
    runModal(box);
    QCOMPARE(modal.shown, QStringList{QStringLiteral("FileBox")});
}

void TestFileBox::acceptName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");

    const QString sep = QDir::separator();
    const QString data = native(QStringLiteral("/data"));
    const QString wrongExt = QStringLiteral("Only .CVA Files is Valid");
    const QString badPath = QStringLiteral("Error On Input\\Output Path+FileName!");
    const QString empty = QStringLiteral("You Must Specify a FileName!");

    QTest::newRow("plain name gets the extension") << "/data" << "report" << data + sep + "report.CVA" << "";
    QTest::newRow("spaces around are trimmed") << "/data" << "  report  " << data + sep + "report.CVA" << "";
    QTest::newRow("inner space kept") << "/data" << "my report" << data + sep + "my report.CVA" << "";
    QTest::newRow("root gets no second separator") << "/" << "report" << native("/") + "report.CVA" << "";
    QTest::newRow("upper-case extension kept") << "/data" << "book.CVA" << data + sep + "book.CVA" << "";
    QTest::newRow("lower-case extension kept") << "/data" << "old.cva" << data + sep + "old.cva" << "";
    QTest::newRow("mixed-case extension kept") << "/data" << "old.cVa" << data + sep + "old.cVa" << "";
    QTest::newRow("dot far from the end") << "/data" << "my.backup" << data + sep + "my.backup.CVA" << "";
    QTest::newRow("trailing dot in the last four") << "/data" << "report." << "" << wrongExt;
    QTest::newRow("other extension") << "/data" << "notes.txt" << "" << wrongExt;
    QTest::newRow("short extension") << "/data" << "a.cv" << "" << wrongExt;
    QTest::newRow("dotted folder reaches a short name") << "/data.d" << "x" << "" << wrongExt;
    QTest::newRow("empty") << "/data" << "" << "" << empty;
    QTest::newRow("spaces only") << "/data" << "   " << "" << empty;
    QTest::newRow("tab is not trimmed") << "/data" << "\t" << "" << badPath;
    QTest::newRow("slash") << "/data" << "sub/report" << "" << badPath;
    QTest::newRow("backslash") << "/data" << "sub\\report" << "" << badPath;
    QTest::newRow("parent folder") << "/data" << "../report.CVA" << "" << badPath;
    QTest::newRow("star") << "/data" << "*" << "" << badPath;
    QTest::newRow("question mark") << "/data" << "rep?rt.cva" << "" << badPath;
    QTest::newRow("control character") << "/data" << QString("rep") + QChar(7) + "ort" << "" << badPath;
    QTest::newRow("longest name") << "/data" << QString(251, u'n') << data + sep + QString(251, u'n') + ".CVA" << "";
    QTest::newRow("name too long with its extension") << "/data" << QString(252, u'n') << "" << badPath;
    QTest::newRow("too long in bytes") << "/data" << QString(126, QChar(0xe9)) << "" << badPath;
    QTest::newRow("wrong extension before bad path") << "/data" << "a*b.txt" << "" << wrongExt;
}

void TestFileBox::acceptName()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, message);
    const AcceptedName result = callvista::acceptName(folder, name, QStringLiteral("CVA"));
    QCOMPARE(result.path, path);
    QCOMPARE(result.message, message);
    QCOMPARE(result.accepted(), message.isEmpty());
}

void TestFileBox::nameBoxKeys_data()
{
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("discarded");
    QTest::newRow("period") << QChar(u'.') << true;
    QTest::newRow("backslash") << QChar(u'\\') << true;
    QTest::newRow("colon") << QChar(u':') << true;
    QTest::newRow("slash") << QChar(u'/') << true;
    QTest::newRow("letter") << QChar(u'a') << false;
    QTest::newRow("digit") << QChar(u'7') << false;
    QTest::newRow("space") << QChar(u' ') << false;
    QTest::newRow("star passes to the validation") << QChar(u'*') << false;
    QTest::newRow("comma") << QChar(u',') << false;
}

void TestFileBox::nameBoxKeys()
{
    QFETCH(QChar, key);
    QFETCH(bool, discarded);
    QCOMPARE(isDiscardedNameKey(key), discarded);
}

void TestFileBox::documentExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("ordinary file") << "book.CVA" << true;
    QTest::newRow("other letter case") << "BOOK.CVA" << false;
    QTest::newRow("missing file") << "none.CVA" << false;
    QTest::newRow("folder with the name") << "folder.CVA" << false;
    QTest::newRow("hidden file") << ".hidden.CVA" << false;
    QTest::newRow("pattern matching a file") << "*.CVA" << false;
    QTest::newRow("single-character pattern") << "boo?.CVA" << false;
}

void TestFileBox::documentExists()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    touch(m_folder + "/book.CVA");
    touch(m_folder + "/.hidden.CVA");
    QVERIFY(QDir(m_folder).mkdir("folder.CVA"));
    QCOMPARE(callvista::documentExists(joinFolderAndName(m_folder, name)), exists);
}

void TestFileBox::pseudoFileSystems_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("pseudo");
    for (const char* type : {"proc", "sysfs", "devtmpfs", "cgroup", "cgroup2", "devpts",
                             "securityfs", "debugfs", "tmpfs"})
        QTest::newRow(type) << QByteArray(type) << true;
    for (const char* type : {"ext4", "btrfs", "xfs", "vfat", "ntfs", "nfs4", "overlay"})
        QTest::newRow(type) << QByteArray(type) << false;
}

void TestFileBox::pseudoFileSystems()
{
    QFETCH(QByteArray, type);
    QFETCH(bool, pseudo);
    QCOMPARE(isPseudoFileSystem(type), pseudo);
}

void TestFileBox::drivesStartAtTheRoot()
{
    QStringList drives = listDrives();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(drives.first(), QDir::rootPath());
    QCOMPARE(drives.removeDuplicates(), 0);
    for (const QString& drive : drives) {
        QVERIFY2(QFileInfo(drive).isDir(), qPrintable(drive));
        QVERIFY2(!drive.startsWith("/proc") && !drive.startsWith("/sys"), qPrintable(drive));
    }
    QCOMPARE(fallbackDrive(), QDir::rootPath());
}

void TestFileBox::listsFilesAndFolders()
{
    for (const char* name : {"b.CVA", "A.cva", "c.Cva", "notes.txt", ".hidden.CVA", "cva", "x.CVA.bak"})
        touch(m_folder + "/" + name);
    QDir folder(m_folder);
    for (const char* name : {"zeta", "Alpha", "beta", ".git", "dir.CVA"})
        QVERIFY(folder.mkdir(name));
    // Links stand for what they point to; only ordinary files and folders
    // are offered, never a device, a pipe or a link to nothing.
    QVERIFY(QFile::link(m_folder + "/b.CVA", m_folder + "/link to b.CVA"));
    QVERIFY(QFile::link(m_folder + "/zeta", m_folder + "/link to zeta"));
    QVERIFY(QFile::link("/dev/null", m_folder + "/device.CVA"));
    QVERIFY(QFile::link("/dev/null", m_folder + "/device folder"));
    QVERIFY(QFile::link(m_folder + "/gone.CVA", m_folder + "/dangling.CVA"));
    QCOMPARE(::mkfifo(QFile::encodeName(m_folder + "/pipe.CVA").constData(), 0600), 0);

    QCOMPARE(matchingFiles(m_folder, "*.CVA"), (QStringList{"A.cva", "b.CVA", "c.Cva", "link to b.CVA"}));
    QCOMPARE(matchingFiles(m_folder, "*.txt;*.bak"), (QStringList{"notes.txt", "x.CVA.bak"}));
    QCOMPARE(subfolders(m_folder),
             (QStringList{m_folder + "/Alpha", m_folder + "/beta", m_folder + "/dir.CVA",
                          m_folder + "/link to zeta", m_folder + "/zeta"}));
    QCOMPARE(folderChain("/usr/share/doc"), (QStringList{"/", "/usr", "/usr/share", "/usr/share/doc"}));
    QCOMPARE(folderChain("/"), QStringList{"/"});
    QVERIFY(canListFolder(m_folder));
    QVERIFY(!canListFolder(m_folder + "/notes.txt"));
    QVERIFY(!canListFolder(m_folder + "/gone"));
}

void TestFileBox::controlsStandAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Label1") << "Label1" << QRect(60, 36, 912, 288) << "&FileName:";
    QTest::newRow("boxFileName") << "boxFileName" << QRect(960, 30, 2856, 285) << "";
    QTest::newRow("boxDrive") << "boxDrive" << QRect(45, 360, 2376, 288) << "";
    QTest::newRow("boxDir") << "boxDir" << QRect(45, 720, 2415, 3180) << "";
    QTest::newRow("boxFile") << "boxFile" << QRect(2490, 384, 2100, 3528) << "";
    QTest::newRow("btnAction") << "btnAction" << QRect(3870, 48, 735, 315) << "Ok";
}

void TestFileBox::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    FileBox box(*m_main);
    QCOMPARE(box.objectName(), QStringLiteral("FileBox"));
    QCOMPARE(box.windowTitle(), QStringLiteral("FileBox"));
    QCOMPARE(box.size(), twipsRect(0, 0, 4620, 3960).size());
    QCOMPARE(box.palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QWidget* control = box.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), caption);
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(button->isDefault());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QVERIFY(edit->text().isEmpty());
        QVERIFY(edit->font().bold());
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::white));
    }
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
    runChooser(configurationNamed(config), [](QDialog& dialog) {
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
    m_main->CvaFileName = QStringLiteral("<Untitled>");
    runChooser(NewConfig, [&](QDialog& dialog) {
        QTest::keyClicks(nameBox(dialog), typed);
        if (enter)
            QTest::keyClick(nameBox(dialog), Qt::Key_Return);
        else
            QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    });
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, native(m_folder) + QDir::separator() + file);
}

void TestFileBox::refusedNamesKeepTheDialogOpen_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << "    " << "You Must Specify a FileName!";
    QTest::newRow("wrong extension") << "notes.txt" << "Only .CVA Files is Valid";
    QTest::newRow("folder in the name") << "../escape" << "Error On Input\\Output Path+FileName!";
    QTest::newRow("pattern") << "*.cva" << "Error On Input\\Output Path+FileName!";
    QTest::newRow("tab") << "a\tb" << "Error On Input\\Output Path+FileName!";
}

void TestFileBox::refusedNamesKeepTheDialogOpen()
{
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    touch(m_folder + "/a.CVA");
    MessageScript messages;
    m_main->CvaFileName = QStringLiteral("<Untitled>");
    runChooser(SaveAsConfig, [&](QDialog& dialog) {
        paste(nameBox(dialog), pasted);
        QCOMPARE(nameBox(dialog)->text(), pasted);
        QTest::keyClick(nameBox(dialog), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().text, message);
        QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
        QCOMPARE(messages.asked.first().buttons, MessageButtons::Ok);

        nameBox(dialog)->clear();
        paste(nameBox(dialog), QStringLiteral("my.backup"));
        QTest::keyClick(nameBox(dialog), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(messages.asked.size(), 1);
    QVERIFY(m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, native(m_folder + "/my.backup.CVA"));
}

void TestFileBox::listedFileKeepsItsLetterCase()
{
    touch(m_folder + "/old.cva");
    touch(m_folder + "/notes.txt");
    MessageScript messages;
    runChooser(OpenConfig, [&](QDialog& dialog) {
        auto* list = child<QListWidget>(dialog, "boxFile");
        QCOMPARE(list->count(), 1);
        clickFile(dialog, QStringLiteral("old.cva"), false);
        QCOMPARE(nameBox(dialog)->text(), QStringLiteral("old.cva"));
        QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
    });
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, native(m_folder + "/old.cva"));
}

void TestFileBox::doubleClickOnAFileAccepts()
{
    touch(m_folder + "/first.CVA");
    touch(m_folder + "/second.CVA");
    MessageScript messages;
    runChooser(OpenConfig, [&](QDialog& dialog) {
        clickFile(dialog, QStringLiteral("second.CVA"), true);
        QVERIFY(!dialog.isVisible());
    });
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, native(m_folder + "/second.CVA"));
}

void TestFileBox::keysInTheFileListChooseAFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("chosen");

    const QStringList three{"a.CVA", "b.CVA", "c.CVA"};
    QTest::newRow("one document, Down") << QStringList{"book.CVA"} << QList<int>{Qt::Key_Down}
                                        << "book.CVA";
    QTest::newRow("one document, Down twice stays on it")
        << QStringList{"book.CVA"} << QList<int>{Qt::Key_Down, Qt::Key_Down} << "book.CVA";
    QTest::newRow("Home") << three << QList<int>{Qt::Key_Home} << "a.CVA";
    QTest::newRow("End") << three << QList<int>{Qt::Key_End} << "c.CVA";
    QTest::newRow("Up with nothing selected") << three << QList<int>{Qt::Key_Up} << "c.CVA";
    QTest::newRow("Down, Down") << three << QList<int>{Qt::Key_Down, Qt::Key_Down} << "b.CVA";
    QTest::newRow("Down past the last") << three
                                        << QList<int>{Qt::Key_End, Qt::Key_Down, Qt::Key_Down}
                                        << "c.CVA";
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
    runChooser(OpenConfig, [&](QDialog& dialog) {
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
    });
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, native(m_folder + "/" + chosen));
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
    m_main->CvaFileName = QStringLiteral("<Untitled>");
    MessageScript messages;
    messages.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
    runChooser(configurationNamed(config), [&](QDialog& dialog) {
        clickFile(dialog, QStringLiteral("book.CVA"), false);
        QTest::keyClick(nameBox(dialog), Qt::Key_Return);
        QCOMPARE(dialog.isVisible(), asked && !yes);
    });
    QCOMPARE(messages.asked.size(), asked ? 1 : 0);
    if (asked) {
        const MessageRequest& question = messages.asked.first();
        QCOMPARE(question.text, "Are You Sure to OverWrite on '" + path + "' ?");
        QCOMPARE(question.title, QStringLiteral("Warning"));
        QCOMPARE(question.buttons, MessageButtons::YesNo);
    }
    const bool accepted = !asked || yes;
    QCOMPARE(m_main->ActionFlag, accepted);
    QCOMPARE(m_main->CvaFileName, accepted ? path : QStringLiteral("<Untitled>"));
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
    m_main->CvaFileName = QStringLiteral("/previous/file.CVA");
    MessageScript messages;
    runChooser(NewConfig, [&](QDialog& dialog) {
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
    });
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(!m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, QStringLiteral("/previous/file.CVA"));
}

void TestFileBox::typedSeparatorsDoNothing()
{
    runChooser(NewConfig, [](QDialog& dialog) {
        QLineEdit* box = nameBox(dialog);
        QTest::keyClicks(box, QStringLiteral("a.b\\c:d/e"));
        QCOMPARE(box->text(), QStringLiteral("abcde"));
        QCOMPARE(box->cursorPosition(), 5);
    });
}

void TestFileBox::lockedBoxRefusesTypingAndPaste()
{
    touch(m_folder + "/listed.CVA");
    runChooser(OpenConfig, [](QDialog& dialog) {
        QLineEdit* box = nameBox(dialog);
        QTest::keyClicks(box, QStringLiteral("typed"));
        QCOMPARE(box->text(), QString());
        paste(box, QStringLiteral("pasted"));
        QCOMPARE(box->text(), QString());
        const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        bool pasteOffered = false;
        for (QAction* action : menu->actions())
            pasteOffered |= action->objectName() == QLatin1String("edit-paste") && action->isEnabled();
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
    runChooser(NewConfig, [&](QDialog& dialog) {
        auto* dir = child<DirList>(dialog, "boxDir");
        auto* files = child<QListWidget>(dialog, "boxFile");
        QCOMPARE(dir->path(), m_folder);
        clickFolder(dialog, QStringLiteral("sub"), false);
        QCOMPARE(dir->highlightedPath(), m_folder + "/sub");
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
    });
    QVERIFY(messages.asked.isEmpty());
    QCOMPARE(m_main->CvaFileName, native(m_folder + "/report.CVA"));
}

void TestFileBox::nameFromOneFolderGoesToTheOpenedOne()
{
    QVERIFY(QDir(m_folder).mkdir("sub"));
    touch(m_folder + "/here.CVA");
    MessageScript messages;
    runChooser(OpenConfig, [&](QDialog& dialog) {
        clickFile(dialog, QStringLiteral("here.CVA"), false);
        clickFolder(dialog, QStringLiteral("sub"), true);
        QCOMPARE(child<DirList>(dialog, "boxDir")->path(), m_folder + "/sub");
        QCOMPARE(child<QListWidget>(dialog, "boxFile")->count(), 0);
        QCOMPARE(nameBox(dialog)->text(), QStringLiteral("here.CVA"));
        QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
    });
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, native(m_folder + "/sub/here.CVA"));
}

void TestFileBox::everyOpeningStartsAtTheCurrentFolder()
{
    QVERIFY(QDir(m_folder).mkdir("sub"));
    touch(m_folder + "/sub/deep.CVA");
    for (int opening = 0; opening < 2; ++opening) {
        runChooser(OpenConfig, [&](QDialog& dialog) {
            auto* dir = child<DirList>(dialog, "boxDir");
            QCOMPARE(dir->path(), m_folder);
            QCOMPARE(child<FileList>(dialog, "boxFile")->path(), m_folder);
            QCOMPARE(child<DriveList>(dialog, "boxDrive")->drive(), driveOf(m_folder));
            QVERIFY(nameBox(dialog)->text().isEmpty());
            clickFolder(dialog, QStringLiteral("sub"), true);
            QCOMPARE(dir->path(), m_folder + "/sub");
            QCOMPARE(child<QListWidget>(dialog, "boxFile")->count(), 1);
            clickFile(dialog, QStringLiteral("deep.CVA"), false);
        });
        QCOMPARE(QDir::currentPath(), m_folder);
    }
    QVERIFY(!m_main->ActionFlag);
}

void TestFileBox::unreadableDriveFallsBackToTheRoot()
{
    const QString drive = m_folder + "/mount";
    QVERIFY(QDir(m_folder).mkdir("mount"));
    MessageScript messages;
    runChooser(NewConfig, [&](QDialog& dialog) {
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
    runChooser(NewConfig, [&](QDialog& dialog) {
        auto* drives = child<DriveList>(dialog, "boxDrive");
        auto* dir = child<DirList>(dialog, "boxDir");
        const QString startDrive = drives->drive();
        DirList::setFolderCheck([&](const QString& folder) {
            return folder != drive && folder != fallbackDrive();
        });
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
    QCOMPARE(m_main->CvaFileName, native(m_folder + "/still.CVA"));
}

void TestFileBox::screenshot()
{
    const QString folder = qEnvironmentVariable("CALLVISTA_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("set CALLVISTA_SCREENSHOTS to a folder to save the pictures");
    QDir here(m_folder);
    for (const char* name : {"Friends", "Work", "archive"})
        QVERIFY(here.mkdir(name));
    for (const char* name : {"family.CVA", "club.cva", "office.CVA", "notes.txt"})
        touch(m_folder + "/" + name);
    const QList<QPair<QString, Configuration>> shots{
        {"file_box_new", NewConfig}, {"file_box_open", OpenConfig}, {"file_box_save_as", SaveAsConfig}};
    for (const auto& [file, config] : shots) {
        runChooser(config, [&](QDialog& dialog) {
            if (config.locked)
                clickFile(dialog, QStringLiteral("family.CVA"), false);
            else
                QTest::keyClicks(nameBox(dialog), QStringLiteral("report"));
            QVERIFY(dialog.grab().save(folder + "/" + file + ".png"));
        });
    }
}

QTEST_MAIN(TestFileBox)
#include "test_file_box.moc"
