#include "ProgramFiles.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

bool hasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

// A name no keyboard gives: the file holds binary data, not names. The whole file
// is refused, so nothing of it shows as a racer or is written back.
bool refusedName(FieldReader& reader, const QString& name) {
    if (!hasControlCharacter(name)) {
        return false;
    }
    reader.failLastField(
        QStringLiteral("a name holds control characters, so this is no file of racer "
                       "names; it is not used and left as it is"));
    return true;
}

}  // namespace

LoadResult<QStringList> parseRoster(const QByteArray& bytes, const QString& fileName) {
    LoadResult<QStringList> result;
    FieldReader reader(fileName, bytes);
    while (!reader.atEnd()) {
        const auto name = reader.readText();
        if (name && refusedName(reader, *name)) {
            return {{}, reader.error()};
        }
        if (name && !name->isEmpty()) {
            result.value.append(*name);
        }
    }
    result.error = reader.error();
    return result;
}

LoadResult<QStringList> loadRoster(const QString& path) {
    return DataFile::load(path, parseRoster, QStringList(), DataFile::Missing::IsError);
}

QByteArray serializeRoster(const QStringList& names) {
    FieldWriter w;
    for (const QString& name : names) {
        w.text(name).endLine();
    }
    return w.bytes();
}

std::optional<ConfigError> saveRoster(const QString& path, const QStringList& names) {
    return DataFile::write(path, serializeRoster(names));
}

std::optional<ConfigError> appendToRoster(const QString& path, const QString& name) {
    QByteArray bytes;
    if (DataFile::exists(path)) {
        LoadResult<QByteArray> old = DataFile::read(path);
        if (!old.ok()) {
            return old.error;
        }
        // A file from an older lap counter is not UTF-8: it is rewritten whole in
        // UTF-8, so the new name does not make the old ones read back garbled.
        bytes = isValidUtf8(old.value) ? old.value : decodeText(old.value).toUtf8();
        if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r')) {
            bytes.append("\r\n");  // a last line without its line end
        }
    }
    bytes.append(FieldWriter().text(name).endLine().bytes());
    return DataFile::write(path, bytes);
}

LoadResult<PerFlag<QString>> parseRacerNames(const QByteArray& bytes, const QString& fileName) {
    LoadResult<PerFlag<QString>> result;
    FieldReader reader(fileName, bytes);
    for (int i = 1; i <= kFlags && !reader.atEnd(); ++i) {
        const auto name = reader.readText();
        if (name && refusedName(reader, *name)) {
            return {{}, reader.error()};
        }
        if (name && name->size() > kMaxNameLength) {
            reader.failLastField(QStringLiteral("the name on flag %1 has %2 characters and a name "
                                                "may be at most %3, so it was left out")
                                     .arg(i)
                                     .arg(name->size())
                                     .arg(kMaxNameLength));
        } else if (name) {
            result.value[i] = *name;
        }
    }
    result.error = reader.error();
    return result;
}

LoadResult<PerFlag<QString>> loadRacerNames(const QString& path) {
    return DataFile::load(path, parseRacerNames, PerFlag<QString>{},
                          DataFile::Missing::GivesDefault);
}

QByteArray serializeRacerNames(const PerFlag<QString>& names) {
    FieldWriter w;
    for (int i = 1; i <= kFlags; ++i) {
        w.text(names[i]);
    }
    w.endLine();
    return w.bytes();
}

std::optional<ConfigError> saveRacerNames(const QString& path, const PerFlag<QString>& names) {
    return DataFile::write(path, serializeRacerNames(names));
}

LoadResult<LagColumn> parseLagMode(const QByteArray& bytes, const QString& fileName) {
    LoadResult<LagColumn> result{kDefaultLagMode, std::nullopt};
    FieldReader reader(fileName, bytes);
    if (!reader.atEnd()) {
        const auto text = reader.readText();
        if (text && !text->isEmpty()) {
            if (const auto column = lagColumnNamed(*text)) {
                result.value = *column;
            } else {
                const QString shown = hasControlCharacter(*text)
                                          ? QStringLiteral("the text")
                                          : QLatin1Char('"') + text->left(40) + QLatin1Char('"');
                reader.failLastField(shown +
                                     QStringLiteral(" is not a heading of the lag column (\"Lag "
                                                    "Behind\", \"Lag First\" or \"Median\"); "
                                                    "\"Lag First\" is shown"));
            }
        }
    }
    result.error = reader.error();
    return result;
}

LoadResult<LagColumn> loadLagMode(const QString& path) {
    return DataFile::load(path, parseLagMode, kDefaultLagMode, DataFile::Missing::GivesDefault);
}

std::optional<ConfigError> saveLagMode(const QString& path, LagColumn lagMode) {
    return DataFile::write(path, FieldWriter().text(columnCaption(lagMode)).endLine().bytes());
}

LoadResult<float> parseSpeedMultiplier(const QByteArray& bytes, const QString& fileName) {
    LoadResult<float> result;
    FieldReader reader(fileName, bytes);
    if (const auto value = reader.readNumber()) {
        if (std::fabs(*value) > static_cast<double>(std::numeric_limits<float>::max())) {
            reader.failLastField(QStringLiteral("the speed multiplier is out of range"));
        } else {
            result.value = static_cast<float>(*value);
        }
    }
    result.error = reader.error();
    return result;
}

LoadResult<float> loadSpeedMultiplier(const QString& path) {
    return DataFile::load(path, parseSpeedMultiplier, 0.0f, DataFile::Missing::IsError);
}

QByteArray serializeSpeedMultiplier(float multiplier) {
    return FieldWriter().single(multiplier).endLine().bytes();
}

std::optional<ConfigError> saveSpeedMultiplier(const QString& path, float multiplier) {
    return DataFile::write(path, serializeSpeedMultiplier(multiplier));
}

}  // namespace lapdeck
