// The settings file on POSIX systems, read and written with the behaviour of the Windows profile
// functions: names match whatever their letter case, values come back trimmed,
// and a write touches only its own line, keeping the rest of the file as it was.
// Every write replaces the file atomically, so the file is either the old one
// or the new one, never a torn one; only a writable file in a folder that takes
// no new file is rewritten in place. A read-only file refuses the write.
#include "settings.h"

#include "messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A profile read returns at most this many characters (a 2048-byte buffer
// with its terminating zero).
constexpr qsizetype MaxValueLength = 2047;

struct Line {
    QByteArray text; // without its line break
    QByteArray end;  // "\r\n", "\n", "\r", or empty on an unterminated last line
};

std::vector<Line> SplitLines(const QByteArray& bytes) {
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype i = start;
        while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r')
            ++i;
        Line line{bytes.mid(start, i - start), {}};
        if (i < bytes.size()) {
            const bool crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
            line.end = bytes.mid(i, crlf ? 2 : 1);
            i += line.end.size();
        }
        lines.push_back(std::move(line));
        start = i;
    }
    return lines;
}

// The line as the parser sees it: blanks trimmed, a UTF-8 byte-order mark at
// the start of the file ignored.
QByteArray Content(const std::vector<Line>& lines, size_t index) {
    QByteArray text = lines[index].text;
    if (index == 0 && text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
    return text.trimmed();
}

bool IsSectionHeader(const QByteArray& content, QString* name = nullptr) {
    if (!content.startsWith('[')) return false;
    if (name) {
        qsizetype close = content.indexOf(']');
        if (close < 0) close = content.size();
        *name = QString::fromUtf8(content.mid(1, close - 1).trimmed());
    }
    return true;
}

bool IsComment(const QByteArray& content) {
    return content.startsWith(';') || content.startsWith('#');
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section's lines lie: its header, and one past its last line.
struct SectionSpan {
    size_t header = 0;
    size_t end = 0;
    bool found = false;
};

// The first section of that name; later sections of the same name are not
// looked at, as with the profile functions.
SectionSpan FindSection(const std::vector<Line>& lines, const QString& section) {
    SectionSpan span;
    QString name;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!IsSectionHeader(Content(lines, i), &name)) continue;
        if (span.found) {
            span.end = i;
            return span;
        }
        if (SameName(name, section)) {
            span.found = true;
            span.header = i;
        }
    }
    span.end = lines.size();
    return span;
}

// The line of `key` in the section, with the offset of its '='.
bool FindKey(const std::vector<Line>& lines, const SectionSpan& span, const QString& key,
             size_t& index, qsizetype& equals) {
    for (size_t i = span.header + 1; i < span.end; ++i) {
        const QByteArray content = Content(lines, i);
        if (content.isEmpty() || IsComment(content)) continue;
        const qsizetype eq = content.indexOf('=');
        if (eq <= 0) continue;
        if (SameName(QString::fromUtf8(content.left(eq).trimmed()), key.trimmed())) {
            index = i;
            equals = lines[i].text.indexOf('=');
            return true;
        }
    }
    return false;
}

// Blanks trimmed, then one enclosing pair of like quotes removed, then cut to
// the longest text a profile read returns.
QString CleanValue(const QByteArray& raw) {
    QString value = QString::fromUtf8(raw.trimmed());
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    if (value.size() > MaxValueLength) {
        qsizetype cut = MaxValueLength;
        if (value[cut - 1].isHighSurrogate()) --cut; // never half a character
        value.truncate(cut);
    }
    return value;
}

// A file the profile functions would not open for writing: one this process
// may not write, or one marked read-only, with no write permission for anyone,
// which they refuse also to the administrator (root, whom the bits do not stop).
bool IsReadOnly(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) return false; // absent: the write creates it
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::access(name.constData(), W_OK) != 0;
}

bool ReadFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    bytes = file.readAll();
    return true;
}

QByteArray Join(const std::vector<Line>& lines) {
    QByteArray bytes;
    for (const Line& line : lines)
        bytes += line.text + line.end;
    return bytes;
}

// The file's own line break for new lines; a new file gets the platform's.
QByteArray LineBreakOf(const std::vector<Line>& lines) {
    for (const Line& line : lines)
        if (!line.end.isEmpty()) return line.end;
    return "\n";
}

// Writes the new contents to a file beside the target (QSaveFile, which follows
// a symbolic link to the file it names), flushes it to the disk and renames it
// over the target. On any failure the target is left as it was and the new
// file is removed.
bool ReplaceFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // The file keeps its permissions, all of them: QSaveFile's own copy leaves
    // out the set-id and sticky bits.
    struct stat old {};
    if (::stat(QFile::encodeName(path).constData(), &old) == 0)
        ::fchmod(file.handle(), old.st_mode & 07777);
    // QSaveFile does not report a failed sync, so the new file is synced here.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return false; // not committed: the new file goes with the object
    if (!file.commit()) return false;
    // The rename itself reaches the disk with the folder.
    const QByteArray folder =
        QFile::encodeName(QFileInfo(QFileInfo(path).canonicalFilePath()).absolutePath());
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

// Whether a new file can be made beside `path` (in the folder of the file a
// link leads to), which replacing the file needs.
bool FolderWritable(const QString& path) {
    const QFileInfo target(QFileInfo(path).canonicalFilePath());
    return ::access(QFile::encodeName(target.absolutePath()).constData(), W_OK) == 0;
}

// Writes all of `bytes` at `offset`.
bool WriteAt(int fd, const char* bytes, qsizetype size, off_t offset) {
    for (qsizetype done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, bytes + done, static_cast<size_t>(size - done),
                                   offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// For a writable file in a folder that takes no new file: the new contents
// are written over the old ones in the same file. What a longer text adds
// beyond the old end is written first, so that a full disk refuses the write
// there and the file is cut back to its old length, unchanged; only then are
// the old bytes overwritten, in blocks the file already has, and the length
// set to the new one. (A file system that moves even overwritten blocks, as
// copy-on-write ones do, can still fail in the middle.)
bool RewriteInPlace(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const qsizetype oldSize = ok ? static_cast<qsizetype>(info.st_size) : 0;
    if (ok && bytes.size() > oldSize) {
        ok = WriteAt(fd, bytes.constData() + oldSize, bytes.size() - oldSize, oldSize) &&
             ::fsync(fd) == 0;
        if (!ok) {
            [[maybe_unused]] const int cut = ::ftruncate(fd, oldSize); // nothing more to do
        }
    }
    ok = ok && WriteAt(fd, bytes.constData(), std::min(oldSize, bytes.size()), 0) &&
         ::ftruncate(fd, bytes.size()) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace

// From the password database.
QString AccountHomeFolder() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QDir::rootPath();
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    QByteArray bytes;
    if (!ReadFile(path_, bytes)) return defaultValue;
    const std::vector<Line> lines = SplitLines(bytes);
    const SectionSpan span = FindSection(lines, section.trimmed());
    size_t index = 0;
    qsizetype equals = 0;
    if (!span.found || !FindKey(lines, span, key, index, equals)) return defaultValue;
    return CleanValue(lines[index].text.mid(equals + 1));
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const QString unableToWrite = QString("Unable to write to %1").arg(path_);
    QByteArray bytes;
    const bool exists = QFileInfo::exists(path_);
    // A read-only file refuses every write, one that would change nothing included.
    if (exists && (IsReadOnly(path_) || !ReadFile(path_, bytes))) throw AppError(unableToWrite);

    std::vector<Line> lines = SplitLines(bytes);
    const QByteArray lineBreak = LineBreakOf(lines);
    // One line per key: a line break in a value would end it early.
    QString oneLine = value;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray newValue = oneLine.toUtf8();
    const QByteArray newKey = key.trimmed().toUtf8();

    const SectionSpan span = FindSection(lines, section.trimmed());
    size_t index = 0;
    qsizetype equals = 0;
    if (span.found && FindKey(lines, span, key, index, equals)) {
        // Keep the key's spelling and the blanks around its '='. A value that
        // starts with blanks of its own takes the place of the old ones, so that
        // writing it again finds the line as it left it.
        QByteArray& text = lines[index].text;
        qsizetype valueStart = equals + 1;
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        if (newValue.isEmpty() || !blank(newValue.front()))
            while (valueStart < text.size() && blank(text[valueStart]))
                ++valueStart;
        text = text.left(valueStart) + newValue;
    } else {
        const Line keyLine{newKey + '=' + newValue, lineBreak};
        if (span.found) {
            // After the section's last non-blank line, before any blank lines
            // that separate it from the next section.
            size_t at = span.header + 1;
            for (size_t i = span.header + 1; i < span.end; ++i)
                if (!Content(lines, i).isEmpty()) at = i + 1;
            if (lines[at - 1].end.isEmpty()) lines[at - 1].end = lineBreak;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), keyLine);
        } else {
            if (!lines.empty() && lines.back().end.isEmpty()) lines.back().end = lineBreak;
            lines.push_back({'[' + section.trimmed().toUtf8() + ']', lineBreak});
            lines.push_back(keyLine);
        }
    }

    const QByteArray updated = Join(lines);
    if (exists && updated == bytes)
        return; // nothing changed, as the profile functions do not rewrite then
    if (!MakeSettingsFolder(path_)) throw AppError(unableToWrite);
    // A folder the user may not write still lets a writable file be rewritten.
    const bool written = exists && !FolderWritable(path_) ? RewriteInPlace(path_, updated)
                                                          : ReplaceFile(path_, updated);
    if (!written) throw AppError(unableToWrite);
}
