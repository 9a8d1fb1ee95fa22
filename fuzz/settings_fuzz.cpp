// The settings file reader and writer on any file contents. The input is a value line, a
// name line and then the file: byte 0 picks one of the program's section/key pairs, or,
// when it is 8, the name line gives them ("section=key", letters, digits and blanks).
// A written value reads back as written (trimmed, one pair of quotes removed), no other
// key reads differently, and writing the same value again leaves the file as it was.
#include "fuzz_check.h"
#include "settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// A default no file can hold (the reader trims it), so that an absent key is told apart.
const QString kAbsent = QStringLiteral(" (absent) ");

struct Name {
    QString section;
    QString key;
};

// The program's keys as its writers spell them.
Name Written(const SettingsKey& key) {
    return {key.writtenSection, key.writtenKey};
}
const Name kProgramNames[] = {
    Written(SettingsKeys::Port),     Written(SettingsKeys::Parameter),
    Written(SettingsKeys::ShowType), Written(SettingsKeys::Continuous),
    Written(SettingsKeys::Interval), Written(SettingsKeys::SendData),
    Written(SettingsKeys::SendType), Written(SettingsKeys::Language),
};

// A folder in memory, so that the writer's flush to disk costs nothing.
QString FilePath() {
    static const QString path = [] {
        const QString folder = QString("/dev/shm/portbench-fuzz-%1").arg(::getpid());
        QDir().mkpath(folder);
        return folder + "/PortBench.ini";
    }();
    return path;
}

bool PlainName(const QString& name) {
    if (name.trimmed().isEmpty()) return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u' ' && c != u'_') return false;
    return true;
}

// The value as a read gives it back: blanks trimmed, one pair of like quotes removed.
QString AsReadBack(const QString& value) {
    QString v = QString::fromUtf8(value.toUtf8().trimmed());
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

// Every section/key pair the file seems to name, to read before and after the write.
std::vector<Name> NamesIn(const QByteArray& file) {
    std::vector<Name> names;
    QString section;
    for (const QByteArray& raw : file.split('\n')) {
        for (const QByteArray& line : raw.split('\r')) {
            const QByteArray content = line.trimmed();
            if (content.startsWith('[')) {
                const qsizetype close = content.indexOf(']');
                section =
                    QString::fromUtf8(content.mid(1, (close < 0 ? content.size() : close) - 1));
            } else if (const qsizetype eq = content.indexOf('='); eq > 0 && names.size() < 64) {
                names.push_back({section, QString::fromUtf8(content.left(eq))});
            }
        }
    }
    return names;
}

bool SameName(const Name& a, const Name& b) {
    return a.section.trimmed().compare(b.section.trimmed(), Qt::CaseInsensitive) == 0 &&
           a.key.trimmed().compare(b.key.trimmed(), Qt::CaseInsensitive) == 0;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), "the settings file went missing");
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    const qsizetype valueEnd = input.indexOf('\n');
    if (valueEnd < 0) return 0;
    const qsizetype nameEnd = input.indexOf('\n', valueEnd + 1);
    if (nameEnd < 0) return 0;
    // One line, as an edit box gives it.
    const QString value = QString::fromUtf8(input.left(valueEnd)).remove(u'\r');
    const QByteArray file = input.mid(nameEnd + 1);

    Name name = kProgramNames[data[0] % 8];
    if (data[0] == 8) {
        const QString given = QString::fromUtf8(input.mid(valueEnd + 1, nameEnd - valueEnd - 1));
        const qsizetype eq = given.indexOf(u'=');
        if (eq < 0) return 0;
        name = {given.left(eq), given.mid(eq + 1)};
        if (!PlainName(name.section) || !PlainName(name.key)) return 0;
    }

    const QString path = FilePath();
    {
        QFile out(path);
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot set up the file");
        out.write(file);
    }
    TIniFile settings(path);
    const std::vector<Name> others = NamesIn(file);
    std::vector<QString> before;
    for (const Name& other : others)
        before.push_back(settings.ReadString(other.section, other.key, kAbsent));

    settings.WriteString(name.section, name.key, value);
    const QString readBack = settings.ReadString(name.section, name.key, kAbsent);
    const QString expected = AsReadBack(value);
    if (expected.size() <= 2047)
        FUZZ_CHECK(readBack == expected, "the value did not read back as written");
    for (size_t i = 0; i < others.size(); ++i) {
        if (SameName(others[i], name)) continue;
        FUZZ_CHECK(settings.ReadString(others[i].section, others[i].key, kAbsent) == before[i],
                   "writing one key changed another");
    }

    const QByteArray written = ReadAll(path);
    settings.WriteString(name.section, name.key, value);
    FUZZ_CHECK(ReadAll(path) == written, "writing the same value again changed the file");
    return 0;
}
