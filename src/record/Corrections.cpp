#include "Corrections.h"

#include "RecordedRace.h"
#include "ReplayRun.h"

namespace lapdeck {

QString correctionLine(const Correction&) {
    return {};
}

std::optional<Correction> parseCorrectionLine(const QString&, QString*) {
    return std::nullopt;
}

std::vector<bool> changesInForce(const std::vector<Correction>& changes) {
    return std::vector<bool>(changes.size(), true);
}

CorrectionsRead readCorrections(const QString&) {
    return {};
}

std::optional<QString> appendCorrection(const QString&, const Correction&) {
    return QStringLiteral("not yet");
}

CorrectedJournal::CorrectedJournal(JournalSource& journal, const std::vector<Correction>&)
    : m_in(journal) {}

bool CorrectedJournal::next() {
    if (!m_in.next()) {
        return false;
    }
    m_clock = m_in.clock();
    m_text = m_in.text();
    return true;
}

void CorrectedJournal::applyGroup(int32_t) {}

std::vector<JournalEntry> effectiveJournal(std::vector<JournalEntry> entries,
                                           const std::vector<Correction>&, QStringList*) {
    return entries;
}

QString correctionClockText(int32_t clock) {
    return QString::number(clock);
}

QString describeCorrection(const Correction&, const std::vector<Correction>&) {
    return {};
}

QString correctedText(int n) {
    return correctionWords::kCorrected.arg(n);
}

QStringList correctionsListing(const std::vector<Correction>&) {
    return {};
}

std::optional<QString> RaceCorrections::load(const QString& raceFolder) {
    m_folder = raceFolder;
    return std::nullopt;
}

int RaceCorrections::changesInForceCount() const {
    return 0;
}

std::optional<QString> RaceCorrections::make(Correction, const QDateTime&) {
    return QStringLiteral("not yet");
}

std::optional<QString> RaceCorrections::undo(const QString&, const QDateTime&) {
    return QStringLiteral("not yet");
}

std::optional<QString> RaceCorrections::redo(const QString&, const QDateTime&) {
    return QStringLiteral("not yet");
}

std::vector<JournalEntry> RaceCorrections::effective() const {
    return m_journal;
}

std::optional<QString> RaceCorrections::rescore(RaceState&, CrossingLog*) const {
    return QStringLiteral("not yet");
}

int RaceCorrections::undoTarget() const {
    return 0;
}

int RaceCorrections::redoTarget() const {
    return 0;
}

}  // namespace lapdeck
