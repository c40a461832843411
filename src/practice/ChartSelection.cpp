#include "practice/ChartSelection.h"

#include "practice/PracticeTexts.h"

namespace quillory {

ChartSelection::ChartSelection(ads::Query& query, const std::function<bool()>& keepGoing)
    : query_(query), keepGoing_(keepGoing) {}

std::string ChartSelection::allPatientsSql() {
    return "SELECT \"Chart Number\" FROM MWPAT WHERE \"Patient Type\" = 'Patient' ORDER BY "
           "\"Chart Number\"";
}

std::string ChartSelection::changedCasesSql(const LocalDateTime& since) {
    return "SELECT DISTINCT \"Chart Number\" FROM mwcas WHERE (\"Date Modified\" >= '" +
           since.toSqlText() + "') ORDER BY \"Chart Number\"";
}

std::string ChartSelection::changedPatientsSql(const LocalDateTime& since) {
    const std::string d = since.toSqlText();
    return "SELECT \"Chart Number\" FROM mwpat WHERE \"Patient Type\" = 'Patient' AND \"Date "
           "Modified\" >= '" +
           d +
           "' AND \"Chart Number\" NOT IN (SELECT DISTINCT \"Chart Number\" FROM mwcas WHERE "
           "\"Date Modified\" >= '" +
           d + "') ORDER BY \"Chart Number\"";
}

bool ChartSelection::collect(std::vector<std::string>& charts, const LocalDateTime& lastPullDate) {
    const bool complete = lastPullDate.isZero()
                              ? appendRows(allPatientsSql(), charts)
                              : appendRows(changedCasesSql(lastPullDate), charts) &&
                                    appendRows(changedPatientsSql(lastPullDate), charts);
    if (!complete)
        charts.assign(1, texts::selectionStopped);
    return complete;
}

bool ChartSelection::appendRows(const std::string& sql, std::vector<std::string>& charts) {
    query_.close();
    query_.open(sql);
    for (; !query_.eof(); query_.next()) {
        if (keepGoing_ && !keepGoing_())
            return false;
        charts.push_back(query_.text("Chart Number"));
    }
    query_.close();
    return true;
}

} // namespace quillory
