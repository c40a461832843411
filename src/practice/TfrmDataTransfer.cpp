#include "practice/TfrmDataTransfer.h"

#include "core/Error.h"
#include "platform/ads/Connection.h"
#include "platform/files/FileLookup.h"
#include "practice/ChartSelection.h"
#include "practice/DemographicsMessage.h"
#include "practice/PracticeFields.h"
#include "practice/PracticeTexts.h"
#include "settings/SettingsFile.h"

#include <optional>

namespace quillory {

namespace {

constexpr std::size_t readCacheBytesPerTable = 48u << 20;

// Order of two values as SQL's ORDER BY sorts them: nulls first, numbers, then texts.
int compareForOrderBy(const ads::Value& a, const ads::Value& b) {
    using Kind = ads::Value::Kind;
    auto rank = [](const ads::Value& v) {
        switch (v.kind) {
        case Kind::Null:
            return 0;
        case Kind::Integer:
        case Kind::Real:
        case Kind::Logical:
            return 1;
        default:
            return 2;
        }
    };
    if (rank(a) != rank(b))
        return rank(a) < rank(b) ? -1 : 1;
    if (rank(a) == 0)
        return 0;
    if (rank(a) == 1) {
        const double x = a.kind == Kind::Real ? a.real : double(a.integer);
        const double y = b.kind == Kind::Real ? b.real : double(b.integer);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.kind == b.kind && a.kind != Kind::Text && a.kind != Kind::Bytes)
        return a.dateTime < b.dateTime ? -1 : (b.dateTime < a.dateTime ? 1 : 0);
    const int c = ads::displayText(a).compare(ads::displayText(b));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

struct TfrmDataTransfer::Impl {
    SettingsFile settings;
    const Clock& clock;
    ads::Connection connection;
    std::string openError; // why the practice could not be opened, empty when it was
    bool caseByCaseNumber = false;

    std::shared_ptr<ads::AdtTable> mwpat, mwcas, mwins, mwadd;
    std::optional<PersonFields> personFields;
    std::optional<CaseFields> caseFields;
    std::optional<CarrierFields> carrierFields;
    std::optional<EmployerFields> employerFields;

    // One record per source, so that the views of one message stay valid until it is written.
    ads::Record patient, caseUsed, candidate, guarantor, guarantorEmployer;
    ads::Record carrier[3], insured[3], insuredEmployer[3];
    std::vector<std::uint32_t> slots;
    std::string message;

    Impl(const std::string& settingsPath, const Clock& c) : settings(settingsPath), clock(c) {}

    void open();
    bool readFirst(const ads::AdtTable& table, int field, std::string_view key, bool ignoreCase,
                   ads::Record& record);
    bool findCaseUsed(std::string_view chartNumber);
    void readSources(std::string_view requestedChart, DemographicsRows& rows);
    bool build(std::string& text);
};

void TfrmDataTransfer::Impl::open() {
    const std::string folder =
        platform::withTrailingSeparator(settings.ReadString("Options", "DataPath", ""));
    caseByCaseNumber = settings.ReadString("Options", "CasePullBy", "") == "CaseByCaseNum";
    connection.connect(folder + "mwddf.add", "User", "tangelos");
    // The object lives for one piece of work and reads scattered records of a few tables.
    connection.setReadCache(readCacheBytesPerTable);
    mwpat = connection.table("mwpat.adt");
    mwcas = connection.table("MWCAS");
    mwins = connection.table("mwins.adt");
    mwadd = connection.table("MWADD");
    // Opened as Medisoft's own program opens them, though nothing is read from them.
    connection.table("mwphy.adt");
    connection.table("mwrph.adt");
    connection.table("MWPRA");
    personFields.emplace(*mwpat);
    caseFields.emplace(*mwcas);
    carrierFields.emplace(*mwins);
    employerFields.emplace(*mwadd);
}

bool TfrmDataTransfer::Impl::readFirst(const ads::AdtTable& table, int field, std::string_view key,
                                       bool ignoreCase, ads::Record& record) {
    if (key.empty())
        return false;
    table.find(field, key, ignoreCase, slots);
    for (std::uint32_t slot : slots) {
        if (table.read(slot, record))
            return true;
    }
    return false;
}

// The case used is the last row of the patient's cases in case order; of equal keys, the later
// record wins, as the table gives them.
bool TfrmDataTransfer::Impl::findCaseUsed(std::string_view chartNumber) {
    if (chartNumber.empty())
        return false;
    const int keyField = caseByCaseNumber ? caseFields->caseNumber : caseFields->dateModified;
    mwcas->find(caseFields->chartNumber, chartNumber, false, slots);
    bool found = false;
    ads::Value bestKey;
    for (std::uint32_t slot : slots) {
        if (!mwcas->read(slot, candidate))
            continue;
        ads::Value key = candidate.value(keyField);
        if (!found || compareForOrderBy(key, bestKey) >= 0) {
            std::swap(caseUsed, candidate);
            bestKey = std::move(key);
            found = true;
        }
    }
    return found;
}

void TfrmDataTransfer::Impl::readSources(std::string_view requestedChart, DemographicsRows& rows) {
    rows.requestedChart = requestedChart;
    rows.patient = personFields->read(patient);
    if (!findCaseUsed(rows.patient.chartNumber))
        return;
    const CaseFields& cf = *caseFields;
    rows.maritalStatus = caseUsed.chars(cf.maritalStatus);
    if (readFirst(*mwpat, personFields->chartNumber, caseUsed.chars(cf.guarantor), false,
                  guarantor)) {
        rows.guarantor = personFields->read(guarantor);
        if (readFirst(*mwadd, employerFields->code, guarantor.chars(personFields->employer), false,
                      guarantorEmployer))
            rows.guarantorEmployer = employerFields->read(guarantorEmployer);
    }
    for (int n = 0; n < 3; ++n) {
        InsuranceSlot& slot = rows.slots[n];
        cf.readSlot(caseUsed, n, slot);
        if (slot.carrierCode.empty())
            continue;
        if (readFirst(*mwins, carrierFields->code, slot.carrierCode, false, carrier[n]))
            slot.carrier = carrierFields->read(carrier[n]);
        if (!readFirst(*mwpat, personFields->chartNumber, slot.insuredChart, false, insured[n]))
            continue;
        slot.insured = personFields->read(insured[n]);
        if (readFirst(*mwadd, employerFields->code, insured[n].chars(personFields->employer), false,
                      insuredEmployer[n]))
            slot.insuredEmployer = employerFields->read(insuredEmployer[n]);
    }
}

bool TfrmDataTransfer::Impl::build(std::string& text) {
    const std::string folder =
        platform::withTrailingSeparator(settings.ReadString("Options", "DataPath", ""));
    if (!platform::findFileIgnoringCase(folder, "mwpat.adt")) {
        text = texts::invalidDataPath;
        return false;
    }
    const LocalDateTime now = clock.now();
    if (!openError.empty()) {
        text = openError;
        return false;
    }
    if (!readFirst(*mwpat, personFields->chartNumber, text, true, patient)) {
        text = texts::chartNotFound(text);
        return false;
    }
    DemographicsRows rows;
    readSources(text, rows);
    message.clear();
    appendDemographicsMessage(message, rows, now);
    text.swap(message);
    return true;
}

TfrmDataTransfer::TfrmDataTransfer(const std::string& settingsPath, ErrorReport& errors,
                                   const Clock& clock)
    : d(std::make_unique<Impl>(settingsPath, clock)) {
    try {
        d->open();
    } catch (const std::exception& e) {
        d->openError = e.what();
        errors.showError(d->openError);
    }
}

TfrmDataTransfer::~TfrmDataTransfer() = default;

bool TfrmDataTransfer::BuildDemographicsMessage(std::string& text) {
    try {
        return d->build(text);
    } catch (const std::exception& e) {
        text = e.what();
        return false;
    }
}

bool TfrmDataTransfer::CollectChartNumbers(std::vector<std::string>& charts,
                                           const LocalDateTime& lastPullDate,
                                           const KeepGoing& keepGoing) {
    charts.clear();
    try {
        if (!d->openError.empty())
            throw Error(d->openError);
        ads::Query query(d->connection);
        return ChartSelection(query, keepGoing).collect(charts, lastPullDate);
    } catch (const std::exception& e) {
        charts.assign(1, e.what());
        return false;
    }
}

const char* TfrmDataTransfer::stoppedText() {
    return texts::selectionStopped;
}

const Clock& TfrmDataTransfer::systemClock() {
    static const SystemClock clock;
    return clock;
}

} // namespace quillory
