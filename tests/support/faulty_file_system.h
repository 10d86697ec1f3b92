#pragma once

#include "core/file_system.h"

#include <QByteArray>
#include <QString>

#include <cstring>
#include <memory>
#include <utility>

// A disk that fails where a test chooses, on every system: it hands each
// call on to another file system, the real one as a rule, counts the calls
// that can fail, its files' calls among them, and fails the one of the
// chosen number with the chosen error instead of making it. A failed close
// still closes, as it does on Linux. Qt Core only.
namespace callvista::testing {

class FaultyFileSystem final : public FileSystem
{
public:
    explicit FaultyFileSystem(FileSystem& real)
        : m_real(real)
    {
    }

    // From now on counts the calls from one and fails call number `call`
    // with `failure`; 0 fails none.
    void failCall(int call, FileStatus failure)
    {
        m_failAt = call;
        m_failure = std::move(failure);
        m_calls = 0;
        m_failed.clear();
    }
    // The calls counted since failCall.
    [[nodiscard]] int calls() const { return m_calls; }
    // The name of the call that was failed; empty when none was.
    [[nodiscard]] QString failedCall() const { return m_failed; }

    FileStatus statusOf(const QString& path) override
    {
        return strikes("statusOf") ? m_failure : m_real.statusOf(path);
    }

    FileStatus stampOf(const QString& path, FileStamp& stamp) override
    {
        return strikes("stampOf") ? m_failure : m_real.stampOf(path, stamp);
    }

    bool isDanglingLink(const QString& path) override { return m_real.isDanglingLink(path); }

    FileStatus createFile(const QString& path, const QString& permissionsOf,
                          std::unique_ptr<WritableFile>& file) override
    {
        if (strikes("createFile"))
            return m_failure;
        std::unique_ptr<WritableFile> real;
        const FileStatus status = m_real.createFile(path, permissionsOf, real);
        if (real)
            file = std::make_unique<Writable>(*this, std::move(real));
        return status;
    }

    FileStatus openForReading(const QString& path, std::unique_ptr<ReadableFile>& file) override
    {
        if (strikes("openForReading"))
            return m_failure;
        std::unique_ptr<ReadableFile> real;
        const FileStatus status = m_real.openForReading(path, real);
        if (real)
            file = std::make_unique<Readable>(*this, std::move(real));
        return status;
    }

    FileStatus replaceFile(const QString& from, const QString& to) override
    {
        return strikes("replaceFile") ? m_failure : m_real.replaceFile(from, to);
    }

    FileStatus flushFolder(const QString& folder) override
    {
        return strikes("flushFolder") ? m_failure : m_real.flushFolder(folder);
    }

    void removeFile(const QString& path) override { m_real.removeFile(path); }

private:
    class Writable final : public WritableFile
    {
    public:
        Writable(FaultyFileSystem& disk, std::unique_ptr<WritableFile> real)
            : m_disk(disk)
            , m_real(std::move(real))
        {
        }

        FileStatus flush() override
        {
            return m_disk.strikes("flush") ? m_disk.m_failure : m_real->flush();
        }
        FileStatus close() override
        {
            const FileStatus closed = m_real->close();
            return m_disk.strikes("close") ? m_disk.m_failure : closed;
        }

    protected:
        FileStatus writeSome(const char* data, qint64 size, qint64& written) override
        {
            if (m_disk.strikes("write"))
                return m_disk.m_failure;
            written = size;
            return m_real->write(QByteArrayView(data, size));
        }

    private:
        FaultyFileSystem& m_disk;
        std::unique_ptr<WritableFile> m_real;
    };

    class Readable final : public ReadableFile
    {
    public:
        Readable(FaultyFileSystem& disk, std::unique_ptr<ReadableFile> real)
            : m_disk(disk)
            , m_real(std::move(real))
        {
        }

        qint64 size() const override { return m_real->size(); }

    protected:
        FileStatus readSome(char* data, qint64 size, qint64& done) override
        {
            if (m_disk.strikes("read"))
                return m_disk.m_failure;
            QByteArray bytes;
            const FileStatus status = m_real->read(bytes, size);
            std::memcpy(data, bytes.constData(), size_t(bytes.size()));
            done = bytes.size();
            return status;
        }

    private:
        FaultyFileSystem& m_disk;
        std::unique_ptr<ReadableFile> m_real;
    };

    bool strikes(const char* name)
    {
        if (++m_calls != m_failAt)
            return false;
        m_failed = QString::fromLatin1(name);
        return true;
    }

    FileSystem& m_real;
    FileStatus m_failure;
    int m_failAt = 0;
    int m_calls = 0;
    QString m_failed;
};

} // namespace callvista::testing
