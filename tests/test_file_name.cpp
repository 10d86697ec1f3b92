#include "core/file_name.h"
#include "core/folder_listing.h"
#include "file_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace callvista;
using namespace callvista::testing;

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

// What the file chooser does with names and folders before any window is
// involved: the name it accepts, the keys it discards, whether a document
// exists, and what its drive, folder and file lists are read from.
class TestFileName : public QObject
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
    void matchingFiles_data();
    void matchingFiles();
    void subfoldersAreFoldersAndLinksToThem();
    void folderChain_data();
    void folderChain();
    void canListFolder_data();
    void canListFolder();

private:
    // Files, folders, links, a device and a pipe of every kind the lists
    // must tell apart.
    void fillFolder();

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_folder;
};

void TestFileName::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_folder = m_temp->path();
}

void TestFileName::cleanup()
{
    m_temp.reset();
}

// Makes a file by the bytes of its name, which need not be valid text.
static bool makeFileByBytes(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

void TestFileName::fillFolder()
{
    for (const char* name : {"b.CVA", "A.cva", "c.Cva", "notes.txt", ".hidden.CVA", "cva", "x.CVA.bak"})
        writeBytes(m_folder + "/" + name, {});
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
    if (QTest::currentDataTag() == QLatin1String("a name not valid in the system's encoding"))
        QVERIFY(makeFileByBytes(QFile::encodeName(m_folder) + "/b\xe9.CVA"));
}

void TestFileName::acceptName_data()
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

void TestFileName::acceptName()
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

void TestFileName::nameBoxKeys_data()
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

void TestFileName::nameBoxKeys()
{
    QFETCH(QChar, key);
    QFETCH(bool, discarded);
    QCOMPARE(isDiscardedNameKey(key), discarded);
}

void TestFileName::documentExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("ordinary file") << "book.CVA" << true;
    QTest::newRow("other letter case") << "BOOK.CVA" << false;
    QTest::newRow("missing file") << "none.CVA" << false;
    QTest::newRow("folder with the name") << "folder.CVA" << false;
    QTest::newRow("hidden file") << ".hidden.CVA" << true;
    QTest::newRow("pattern matching a file") << "*.CVA" << false;
    QTest::newRow("single-character pattern") << "boo?.CVA" << false;
}

void TestFileName::documentExists()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    writeBytes(m_folder + "/book.CVA", {});
    writeBytes(m_folder + "/.hidden.CVA", {});
    QVERIFY(QDir(m_folder).mkdir("folder.CVA"));
    QCOMPARE(callvista::documentExists(joinFolderAndName(m_folder, name)), exists);
}

void TestFileName::pseudoFileSystems_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("pseudo");
    for (const char* type : {"proc", "sysfs", "devtmpfs", "cgroup", "cgroup2", "devpts",
                             "securityfs", "debugfs", "tmpfs"})
        QTest::newRow(type) << QByteArray(type) << true;
    for (const char* type : {"ext4", "btrfs", "xfs", "vfat", "ntfs", "nfs4", "overlay"})
        QTest::newRow(type) << QByteArray(type) << false;
}

void TestFileName::pseudoFileSystems()
{
    QFETCH(QByteArray, type);
    QFETCH(bool, pseudo);
    QCOMPARE(isPseudoFileSystem(type), pseudo);
}

void TestFileName::drivesStartAtTheRoot()
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

void TestFileName::matchingFiles_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("documents in any letter case, links to them, no other kind")
        << "*.CVA" << QStringList{"A.cva", "b.CVA", "c.Cva", "link to b.CVA"};
    QTest::newRow("several patterns") << "*.txt;*.bak" << QStringList{"notes.txt", "x.CVA.bak"};
    QTest::newRow("nothing matches") << "*.doc" << QStringList{};
    // Saved as Latin-1 bytes: not UTF-8, the system's encoding here.
    QTest::newRow("a name not valid in the system's encoding")
        << "*.CVA" << QStringList{"A.cva", "b.CVA", QString::fromUtf8("b\xef\xbf\xbd.CVA"), "c.Cva",
                                  "link to b.CVA"};
}

void TestFileName::matchingFiles()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    fillFolder();
    QCOMPARE(callvista::matchingFiles(m_folder, pattern), names);
}

void TestFileName::subfoldersAreFoldersAndLinksToThem()
{
    fillFolder();
    QCOMPARE(subfolders(m_folder),
             (QStringList{m_folder + "/Alpha", m_folder + "/beta", m_folder + "/dir.CVA",
                          m_folder + "/link to zeta", m_folder + "/zeta"}));
}

void TestFileName::folderChain_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("chain");
    QTest::newRow("deep folder") << "/usr/share/doc"
                                 << QStringList{"/", "/usr", "/usr/share", "/usr/share/doc"};
    QTest::newRow("root") << "/" << QStringList{"/"};
}

void TestFileName::folderChain()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, chain);
    QCOMPARE(callvista::folderChain(folder), chain);
}

void TestFileName::canListFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("listable");
    QTest::newRow("folder") << "" << true;
    QTest::newRow("subfolder") << "/Alpha" << true;
    QTest::newRow("link to a folder") << "/link to zeta" << true;
    QTest::newRow("file") << "/notes.txt" << false;
    QTest::newRow("link to a device") << "/device folder" << false;
    QTest::newRow("missing") << "/gone" << false;
}

void TestFileName::canListFolder()
{
    QFETCH(QString, name);
    QFETCH(bool, listable);
    fillFolder();
    QCOMPARE(callvista::canListFolder(m_folder + name), listable);
}

QTEST_GUILESS_MAIN(TestFileName)
#include "test_file_name.moc"
