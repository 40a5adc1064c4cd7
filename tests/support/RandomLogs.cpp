#include "RandomLogs.h"

#include <iterator>

#include "log/LogEntry.h"
#include "log/LogReader.h"

using namespace pq;

std::string RandomRows::Date() {
    switch (Pick(10)) {
    case 0:
        return "No Date";
    case 1:
        return Number(2) + "/" + Number(2) + "/" + Number(2);
    case 2:
        return std::to_string(1975 + Pick(120)) + "/" + std::to_string(Pick(14)) + "/" + std::to_string(Pick(33));
    case 3:
        return Junk(Pick(20));
    case 4:
        return std::to_string(1980 + Pick(3)) + "/+" + Number(2) + "/ " + Number(2) + Junk(Pick(3));
    default:
        // Few days, so that many rows share a day and their order inside it matters; some dates go on after
        // the day, so that one Date text begins another.
        return std::to_string(1996 + Pick(2)) + "/0" + std::to_string(1 + Pick(2)) + "/0" +
               std::to_string(1 + Pick(5)) + (Pick(4) == 0 ? Junk(1 + Pick(2)) : "");
    }
}

std::string RandomRows::Distance() {
    static const char *const Units[] = {"Miles", "Kilometers", "Marathons", "Mile(s)", "miles", "Kilo", "Mara", ""};
    switch (Pick(9)) {
    case 0:
        return Junk(Pick(24));
    case 1:
        return Number(1 + Pick(16)) + " Miles";
    case 2:
        return "  " + Number(1 + Pick(3)) + " " + Units[Pick(std::size(Units))];
    case 3:
        return "1e400 Kilometers";
    case 4:
        // A bare number begins the same number with a unit.
        return Number(1) + (Pick(2) == 0 ? "" : " Kilometers");
    default:
        return std::string(Pick(5) == 0 ? "-" : "").append(Number(1 + Pick(2))) + "." + Number(Pick(3)) + " " +
               Units[Pick(std::size(Units))];
    }
}

std::string RandomRows::Time() {
    return Pick(4) == 0 ? Junk(Pick(12)) : "00:" + Number(2) + ":" + Number(2);
}

std::string RandomRows::Notes() {
    static const char *const Tags[] = {"#tempo", "#tempo ", " #tempo.", "#tempos", "x#tempo", "#Tempo", "# tempo"};
    std::string notes = Junk(Pick(40));
    if (Pick(3) == 0) {
        notes.insert(Pick(notes.size() + 1), Tags[Pick(std::size(Tags))]);
    }
    return notes;
}

std::string RandomRows::Junk(std::size_t length) {
    static const std::string Likely = "\t\r\n\xA0 /0123456789.MilesKiloMara";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        char byte = Pick(2) == 0 ? Likely[Pick(Likely.size())] : static_cast<char>(1 + Pick(255));
        text.push_back(byte == RecordMarker ? '9' : byte);
    }
    return text;
}

std::string RandomRows::Number(std::size_t digits) {
    std::string text;
    for (std::size_t i = 0; i < digits; ++i) {
        text.push_back(static_cast<char>('0' + Pick(10)));
    }
    return text;
}

std::string RandomLogBytes(unsigned seed, std::size_t rows) {
    RandomRows random(seed);
    std::string bytes;
    if (random.Pick(3) != 0) {
        bytes.append(LogHeader).append("\r\n");
    }
    for (std::size_t i = 0; i < rows; ++i) {
        std::string record;
        record.append(random.Pick(15) == 0 ? "\t" : "")
            .append(random.Date())
            .append(random.Pick(10) == 0 ? "\t\t" : "\t");
        record.append(random.Distance()).append("\t").append(random.Time()).append("\t");
        record.append(random.Notes());
        switch (random.Pick(40)) {
        case 0:
            record.push_back('\0');
            record.append(random.Junk(5));
            break;
        case 1:
            record.append(random.Junk(1000 + random.Pick(900)));
            break;
        case 2:
            record.append("\r\n").append(1, RecordMarker).append(LogHeader).append("\r\n");
            break;
        case 3:
            break; // no line end
        case 4:
            record.append("\n"); // a line end that a Unix tool made
            break;
        default:
            record.append("\r\n");
        }
        bytes.push_back(RecordMarker);
        bytes.append(record);
    }
    return bytes;
}
