#include "core/file_name.h"
#include "core/folder_listing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace callvista;

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
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

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_folder;
    QString m_savedCurrent;
};

void TestFileBox::init()
{
    m_savedCurrent = QDir::currentPath();
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    QVERIFY(QDir::setCurrent(m_temp->path()));
    m_folder = QDir::currentPath();
}

void TestFileBox::cleanup()
{
    QDir::setCurrent(m_savedCurrent);
    m_temp.reset();
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

    QCOMPARE(matchingFiles(m_folder, "*.CVA"), (QStringList{"A.cva", "b.CVA", "c.Cva"}));
    QCOMPARE(matchingFiles(m_folder, "*.txt;*.bak"), (QStringList{"notes.txt", "x.CVA.bak"}));
    QCOMPARE(subfolders(m_folder),
             (QStringList{m_folder + "/Alpha", m_folder + "/beta", m_folder + "/dir.CVA",
                          m_folder + "/zeta"}));
    QCOMPARE(folderChain("/usr/share/doc"), (QStringList{"/", "/usr", "/usr/share", "/usr/share/doc"}));
    QCOMPARE(folderChain("/"), QStringList{"/"});
    QVERIFY(canListFolder(m_folder));
    QVERIFY(!canListFolder(m_folder + "/notes.txt"));
    QVERIFY(!canListFolder(m_folder + "/gone"));
}

QTEST_GUILESS_MAIN(TestFileBox)
#include "test_file_box.moc"
