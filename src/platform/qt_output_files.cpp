// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_output_files.h"

#include "platform/locale_charset.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace clampmeter {

namespace {

/// Whether Qt's text for a failure says nothing about its cause. Qt leaves its default
/// text in place when a write(2) writes only part of a chunk (the disk filled up during
/// it) and when closing the new file fails.
bool vague(const QFileDevice& file)
{
    return file.error() == QFileDevice::NoError || file.errorString().isEmpty()
        || file.errorString() == QLatin1String("Unknown error");
}

class SavedFile final : public OutputFile {
public:
    SavedFile(const std::string& path, const std::string& charset)
        : m_file(QString::fromStdString(path))
        , m_charset(charset)
    {
        m_file.setDirectWriteFallback(true);
        if (QFileInfo(m_file.fileName()).isDir()) {
            // Qt's own words for this ("Filename refers to a directory") read like a fault
            // of the program; the system's are plainer.
            m_failed = true;
            m_error = std::strerror(EISDIR);
            return;
        }
        // The writers hand over large chunks: each goes to the system at once, so a full
        // disk shows at the write that hit it and never first at the commit.
        errno = 0;
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            failToOpen();
    }

    // QSaveFile's destructor removes the new file of an uncommitted save.

    bool write(std::string_view bytes) override
    {
        if (m_failed)
            return false;
        std::string_view stored = bytes;
        if (!m_charset.isIdentity() && !isAscii(bytes)) {
            m_encoded.clear();
            m_charset.appendFromUtf8(bytes, m_encoded);
            stored = m_encoded;
        }
        const char* data = stored.data();
        auto left = static_cast<qint64>(stored.size());
        while (left > 0) {
            // A short write is retried: the retry meets the system's error, if there is one.
            errno = 0;
            const qint64 written = m_file.write(data, left);
            if (written <= 0) {
                fail();
                return false;
            }
            data += written;
            left -= written;
        }
        return true;
    }

    bool commit() override
    {
        if (m_failed)
            return false;
        errno = 0;
        if (!m_file.commit()) {
            fail();
            return false;
        }
        return true;
    }

    std::string errorText() const override { return m_error; }

private:
    /// Keeps the reason why the file could not be opened.
    void failToOpen()
    {
        const int error = errno;
        fail();
        // An existing file that may not be replaced (a read-only disk, no write permission)
        // is refused in Qt's own words, which repeat the name and leave out why. The reason is
        // the one its access check met.
        if (m_file.error() == QFileDevice::WriteError && error != 0)
            m_error = std::strerror(error);
    }

    /// Keeps the reason for the failure of the QSaveFile call just made.
    void fail()
    {
        const int error = errno;
        m_failed = true;
        if (!vague(m_file))
            m_error = m_file.errorString().toStdString();
        else if (error != 0)
            m_error = std::strerror(error);
        else
            m_error = m_file.errorString().toStdString();
    }

    QSaveFile m_file;
    LocaleCharset m_charset;
    std::string m_encoded; ///< the current chunk in the file's character set, if it differs
    bool m_failed = false;
    std::string m_error;
};

} // namespace

QtOutputFiles::QtOutputFiles()
    : m_charset(LocaleCharset().name())
{
}

QtOutputFiles::QtOutputFiles(std::string_view charset)
    : m_charset(charset)
{
}

std::unique_ptr<OutputFile> QtOutputFiles::create(const std::string& path)
{
    return std::make_unique<SavedFile>(path, m_charset);
}

} // namespace clampmeter
