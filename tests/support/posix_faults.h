#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

// Real failures of a POSIX file system for the tests of saving: a limit on
// the size of the files this process writes, and a file system that is full.
namespace callvista::testing {

// Lowers this process's limit on the size of the files it writes, as
// `ulimit -f` does, so that a real write past it fails with EFBIG part-way
// through. The SIGXFSZ that the kernel sends then is ignored, as it is in a
// program that checks its writes. The test writes nothing else while it is
// set; the old limit comes back with the end of the scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_read = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_set = m_read && setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_read)
            setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    [[nodiscard]] bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_read = false;
    bool m_set = false;
};

// A tmpfs of a few kilobytes mounted on a fresh folder. Mounting needs
// root; where it is refused, mounted() is false and why() says what the
// system answered.
class TinyFileSystem
{
public:
    explicit TinyFileSystem(int kilobytes)
    {
        if (!m_folder.isValid()) {
            m_why = QStringLiteral("no temporary folder to mount on");
            return;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"),
                     m_folder.path()});
        m_mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit
                    && mount.exitCode() == 0;
        if (!m_mounted)
            m_why = QString::fromLocal8Bit(mount.readAllStandardError()).trimmed()
                    + mount.errorString();
    }
    ~TinyFileSystem()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_folder.path()});
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;

    [[nodiscard]] bool mounted() const { return m_mounted; }
    [[nodiscard]] QString why() const { return m_why; }
    [[nodiscard]] QString path() const { return m_folder.path(); }
    [[nodiscard]] QString filePath(const QString& name) const { return m_folder.filePath(name); }

    // Takes up the room that is left with one hidden file, so that the next
    // write of any size finds none. Returns whether the file system is full.
    bool fill() const
    {
        QFile filler(filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(512, 'x');
        while (filler.write(block) > 0) {
        }
        return filler.error() != QFileDevice::NoError;
    }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
    QString m_why;
};

} // namespace callvista::testing
