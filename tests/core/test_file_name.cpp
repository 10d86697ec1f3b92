#include "core/file_name.h"
#include "core/folder_listing.h"
#include "file_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace callvista;
using namespace callvista::testing;

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Hidden is a leading dot on POSIX systems and an attribute on Windows,
// which the file is given here too.
void makeHidden(const QString& path)
{
#ifdef Q_OS_WIN
    QVERIFY(SetFileAttributesW(native(path).toStdWString().c_str(), FILE_ATTRIBUTE_HIDDEN));
#else
    QVERIFY(QFileInfo(path).fileName().startsWith(u'.'));
#endif
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
    void exportedExtension_data();
    void exportedExtension();
    void windowsNames_data();
    void windowsNames();
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

#ifndef Q_OS_WIN
// Makes a file by the bytes of its name, which need not be valid text.
static bool makeFileByBytes(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    return fd >= 0 && ::close(fd) == 0;
}
#endif

void TestFileName::fillFolder()
{
    for (const char* name :
         {"b.CVA", "A.cva", "c.Cva", "notes.txt", ".hidden.CVA", "cva", "x.CVA.bak"})
        writeBytes(m_folder + "/" + name, {});
    QDir folder(m_folder);
    for (const char* name : {"zeta", "Alpha", "beta", ".git", "dir.CVA"})
        QVERIFY(folder.mkdir(name));
    makeHidden(m_folder + "/.hidden.CVA");
    makeHidden(m_folder + "/.git");
#ifndef Q_OS_WIN
    // Links stand for what they point to; only ordinary files and folders
    // are offered, never a device, a pipe or a link to nothing. (Windows
    // has none of these that a program may make.)
    QVERIFY(QFile::link(m_folder + "/b.CVA", m_folder + "/link to b.CVA"));
    QVERIFY(QFile::link(m_folder + "/zeta", m_folder + "/link to zeta"));
    QVERIFY(QFile::link("/dev/null", m_folder + "/device.CVA"));
    QVERIFY(QFile::link("/dev/null", m_folder + "/device folder"));
    QVERIFY(QFile::link(m_folder + "/gone.CVA", m_folder + "/dangling.CVA"));
    QCOMPARE(::mkfifo(QFile::encodeName(m_folder + "/pipe.CVA").constData(), 0600), 0);
    if (QTest::currentDataTag() == QLatin1String("a name not valid in the system's encoding"))
        QVERIFY(makeFileByBytes(QFile::encodeName(m_folder) + "/b\xe9.CVA"));
#endif
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
    const auto tooLong = [&](int bytes) {
        return badPath
               + QStringLiteral("\n\nThe name is %1 bytes long with its extension; "
                                "a file name can be at most 255 bytes.")
                     .arg(bytes);
    };

    QTest::newRow("plain name gets the extension") << "/data"
                                                   << "report" << data + sep + "report.CVA"
                                                   << "";
    QTest::newRow("spaces around are trimmed") << "/data"
                                               << "  report  " << data + sep + "report.CVA"
                                               << "";
    QTest::newRow("inner space kept") << "/data"
                                      << "my report" << data + sep + "my report.CVA"
                                      << "";
    QTest::newRow("root gets no second separator") << "/"
                                                   << "report" << native("/") + "report.CVA"
                                                   << "";
    QTest::newRow("upper-case extension kept") << "/data"
                                               << "book.CVA" << data + sep + "book.CVA"
                                               << "";
    QTest::newRow("lower-case extension kept") << "/data"
                                               << "old.cva" << data + sep + "old.cva"
                                               << "";
    QTest::newRow("mixed-case extension kept") << "/data"
                                               << "old.cVa" << data + sep + "old.cVa"
                                               << "";
    QTest::newRow("dot far from the end") << "/data"
                                          << "my.backup" << data + sep + "my.backup.CVA"
                                          << "";
    QTest::newRow("trailing dot in the last four") << "/data"
                                                   << "report."
                                                   << "" << wrongExt;
    QTest::newRow("other extension") << "/data"
                                     << "notes.txt"
                                     << "" << wrongExt;
    QTest::newRow("short extension") << "/data"
                                     << "a.cv"
                                     << "" << wrongExt;
    QTest::newRow("dotted folder reaches a short name") << "/data.d"
                                                        << "x"
                                                        << "" << wrongExt;
    QTest::newRow("empty") << "/data"
                           << ""
                           << "" << empty;
    QTest::newRow("spaces only") << "/data"
                                 << "   "
                                 << "" << empty;
    QTest::newRow("tab is not trimmed") << "/data"
                                        << "\t"
                                        << "" << badPath;
    QTest::newRow("slash") << "/data"
                           << "sub/report"
                           << "" << badPath;
    QTest::newRow("backslash") << "/data"
                               << "sub\\report"
                               << "" << badPath;
    QTest::newRow("parent folder") << "/data"
                                   << "../report.CVA"
                                   << "" << badPath;
    QTest::newRow("star") << "/data"
                          << "*"
                          << "" << badPath;
    QTest::newRow("question mark") << "/data"
                                   << "rep?rt.cva"
                                   << "" << badPath;
    QTest::newRow("control character") << "/data" << QString("rep") + QChar(7) + "ort"
                                       << "" << badPath;
    QTest::newRow("longest name") << "/data" << QString(251, u'n')
                                  << data + sep + QString(251, u'n') + ".CVA"
                                  << "";
    QTest::newRow("name too long with its extension")
        << "/data" << QString(252, u'n') << "" << tooLong(256);
#ifndef Q_OS_WIN
    // Windows counts a name in UTF-16 units, where this one is short.
    QTest::newRow("too long in bytes")
        << "/data" << QString(126, QChar(0xe9)) << "" << tooLong(256);
#else
    // Names that Windows refuses get the dialog's own message.
    QTest::newRow("device name") << "/data"
                                 << "con"
                                 << "" << badPath;
    QTest::newRow("device name with its extension") << "/data"
                                                    << "LPT1.CVA"
                                                    << "" << badPath;
    QTest::newRow("colon pasted in") << "/data"
                                     << "a:b"
                                     << "" << badPath;
    QTest::newRow("angle bracket") << "/data"
                                   << "a<b"
                                   << "" << badPath;
    QTest::newRow("not a device name") << "/data"
                                       << "console" << data + sep + "console.CVA"
                                       << "";
#endif
    QTest::newRow("wrong extension before bad path") << "/data"
                                                     << "a*b.txt"
                                                     << "" << wrongExt;
}

void TestFileName::acceptName()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, message);
    const Result<QString> result = callvista::acceptName(folder, name, QStringLiteral("CVA"));
    QCOMPARE(result.ok(), message.isEmpty());
    QCOMPARE(result.error(), message);
    QCOMPARE(result.ok() ? result.value() : QString(), path);
}

void TestFileName::exportedExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");

    // An export's name gets its extension in lower case and keeps any case
    // it was typed or listed with.
    QTest::newRow("appended in lower case") << "contacts"
                                            << "contacts.vcf"
                                            << "";
    QTest::newRow("typed in upper case") << "contacts.VCF"
                                         << "contacts.VCF"
                                         << "";
    QTest::newRow("typed in mixed case") << "contacts.Vcf"
                                         << "contacts.Vcf"
                                         << "";
    QTest::newRow("another extension") << "contacts.csv"
                                       << ""
                                       << "Only .VCF Files is Valid";
}

void TestFileName::exportedExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QString, message);
    const Result<QString> result =
        callvista::acceptName(m_folder, name, QStringLiteral("VCF"), AppendedExtension::LowerCase);
    QCOMPARE(result.error(), message);
    QCOMPARE(result.ok() ? QFileInfo(result.value()).fileName() : QString(), file);
}

void TestFileName::windowsNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    for (const char* c : {"<", ">", ":", "\"", "|", "?", "*", "/", "\\"})
        QTest::newRow(c) << QStringLiteral("a%1b.CVA").arg(QLatin1String(c)) << true;
    QTest::newRow("control character") << QString("a") + QChar(0x1f) + "b.CVA" << true;
    QTest::newRow("trailing dot") << "book." << true;
    QTest::newRow("trailing space") << "book " << true;
    for (const char* device : {"CON", "prn", "Aux", "NUL", "COM1", "com9", "LPT1", "lpt9"}) {
        QTest::newRow(device) << QString::fromLatin1(device) << true;
        QTest::newRow(qPrintable(QStringLiteral("%1 with an extension").arg(device)))
            << QStringLiteral("%1.CVA").arg(QLatin1String(device)) << true;
    }
    QTest::newRow("device name, space before the extension") << "CON .CVA" << true;
    QTest::newRow("device name, two extensions") << "nul.tar.CVA" << true;
    QTest::newRow("COM0 is no device") << "COM0.CVA" << false;
    QTest::newRow("COM10 is no device") << "COM10.CVA" << false;
    QTest::newRow("device name inside a name") << "CONTACTS.CVA" << false;
    QTest::newRow("device name after a dot") << "book.CON" << false;
    QTest::newRow("ordinary name") << "Smith & Jones, 2024.CVA" << false;
    QTest::newRow("leading space and dot") << " .book.CVA" << false;
    QTest::newRow("letters of other scripts") << QString::fromUtf8("Łódź Ж.CVA") << false;
}

void TestFileName::windowsNames()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QCOMPARE(windowsRefusesName(name), refused);
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
#ifdef Q_OS_WIN
    // Windows's file names ignore letter case: saving would replace the file.
    QTest::newRow("other letter case") << "BOOK.CVA" << true;
#else
    QTest::newRow("other letter case") << "BOOK.CVA" << false;
#endif
    QTest::newRow("missing file") << "none.CVA" << false;
    QTest::newRow("folder with the name") << "folder.CVA" << false;
    // Never replaced without asking.
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
    makeHidden(m_folder + "/.hidden.CVA");
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
#ifdef Q_OS_WIN
        // Drive letters only: "C:/", "Z:/".
        QVERIFY2(drive.size() == 3 && drive.at(0).isLetter() && drive.endsWith(u":/"),
                 qPrintable(drive));
#endif
    }
    QCOMPARE(fallbackDrive(), QDir::rootPath());
}

void TestFileName::matchingFiles_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
#ifdef Q_OS_WIN
    QTest::newRow("documents in any letter case")
        << "*.CVA" << QStringList{"A.cva", "b.CVA", "c.Cva"};
#else
    QTest::newRow("documents in any letter case, links to them, no other kind")
        << "*.CVA" << QStringList{"A.cva", "b.CVA", "c.Cva", "link to b.CVA"};
#endif
    QTest::newRow("several patterns") << "*.txt;*.bak" << QStringList{"notes.txt", "x.CVA.bak"};
    QTest::newRow("nothing matches") << "*.doc" << QStringList{};
#ifndef Q_OS_WIN
    // Saved as Latin-1 bytes: not UTF-8, the system's encoding here.
    QTest::newRow("a name not valid in the system's encoding")
        << "*.CVA"
        << QStringList{"A.cva", "b.CVA", QString::fromUtf8("b\xef\xbf\xbd.CVA"), "c.Cva",
                       "link to b.CVA"};
#endif
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
    QStringList expected{m_folder + "/Alpha", m_folder + "/beta", m_folder + "/dir.CVA",
                         m_folder + "/link to zeta", m_folder + "/zeta"};
#ifdef Q_OS_WIN
    expected.removeOne(m_folder + "/link to zeta");
#endif
    QCOMPARE(subfolders(m_folder), expected);
}

void TestFileName::folderChain_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("chain");
    const QString root = QDir::rootPath();
    QTest::newRow("deep folder") << root + "usr/share/doc"
                                 << QStringList{root, root + "usr", root + "usr/share",
                                                root + "usr/share/doc"};
    QTest::newRow("root") << root << QStringList{root};
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
#ifndef Q_OS_WIN
    QTest::newRow("link to a folder") << "/link to zeta" << true;
    QTest::newRow("link to a device") << "/device folder" << false;
#endif
    QTest::newRow("file") << "/notes.txt" << false;
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
