#include "LiveSettings.h"

#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"

namespace lapdeck {

LoadResult<LiveChoice> parseLiveChoice(const QByteArray& bytes, const QString& fileName) {
    FieldReader reader(fileName, bytes);
    LoadResult<LiveChoice> result;
    if (const auto on = reader.readBool()) {
        result.value.on = *on;
    }
    if (const auto port = reader.readInt32()) {
        if (*port >= 1 && *port <= 65535) {
            result.value.port = static_cast<uint16_t>(*port);
        } else {
            reader.failLastField(QStringLiteral("%1 is not a port (1 to 65535)").arg(*port));
        }
    }
    result.error = reader.error();
    return result;
}

LoadResult<LiveChoice> loadLiveChoice(const QString& path) {
    return DataFile::load(path, parseLiveChoice, LiveChoice{}, DataFile::Missing::GivesDefault);
}

std::optional<ConfigError> saveLiveChoice(const QString& path, const LiveChoice& choice) {
    return DataFile::write(path,
                           FieldWriter().truth(choice.on).number(choice.port).endLine().bytes());
}

}  // namespace lapdeck
