#include "SoundChoices.h"

#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"

namespace lapdeck {

LoadResult<SoundChoices> parseSoundChoices(const QByteArray& bytes, const QString& fileName) {
    FieldReader reader(fileName, bytes);
    const auto everyLap = reader.readBool();
    const auto bestLap = reader.readBool();
    if (reader.error()) {
        return {{}, reader.error()};
    }
    return {{*everyLap, *bestLap}, std::nullopt};
}

LoadResult<SoundChoices> loadSoundChoices(const QString& path) {
    return DataFile::load(path, parseSoundChoices, SoundChoices{}, DataFile::Missing::GivesDefault);
}

std::optional<ConfigError> saveSoundChoices(const QString& path, const SoundChoices& choices) {
    return DataFile::write(
        path, FieldWriter().truth(choices.everyLap).truth(choices.bestLap).endLine().bytes());
}

}  // namespace lapdeck
