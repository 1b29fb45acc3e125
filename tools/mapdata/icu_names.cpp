// Asks the system's ICU for the names the catalogue needs, so that the
// generated file agrees with what the program itself shows for a region.
// Reads requests from stdin, one per line, and answers each on one line:
//   R <ISO 3166 code>  ->  R <code> <TAB> <German name> <TAB> <Spanish name> <TAB> <German long name>
//   Z <zone id>        ->  Z <zone> <TAB> <English city> <TAB> <German city> <TAB> <Spanish city>
//   N <UN M.49 number> ->  N <number> <TAB> <ISO 3166 code, or empty>
#include <unicode/locdspnm.h>
#include <unicode/locid.h>
#include <unicode/region.h>
#include <unicode/tznames.h>
#include <unicode/unistr.h>

#include <iostream>
#include <memory>
#include <string>

namespace {

std::string utf8(const icu::UnicodeString& s) {
    std::string out;
    s.toUTF8String(out);
    return out;
}

std::unique_ptr<icu::LocaleDisplayNames> regionNames(const char* language,
                                                    UDisplayContext length = UDISPCTX_LENGTH_SHORT) {
    UDisplayContext contexts[] = {length, UDISPCTX_CAPITALIZATION_FOR_STANDALONE};
    return std::unique_ptr<icu::LocaleDisplayNames>(
        icu::LocaleDisplayNames::createInstance(icu::Locale(language), contexts, 2));
}

std::unique_ptr<icu::TimeZoneNames> zoneNames(const char* language) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::TimeZoneNames> names(icu::TimeZoneNames::createInstance(icu::Locale(language), status));
    return U_SUCCESS(status) ? std::move(names) : nullptr;
}

std::string exemplar(icu::TimeZoneNames* names, const std::string& zone) {
    if (!names) return {};
    icu::UnicodeString out;
    names->getExemplarLocationName(icu::UnicodeString::fromUTF8(zone), out);
    return utf8(out);
}

}  // namespace

int main() {
    const auto regionDe = regionNames("de");
    const auto regionEs = regionNames("es");
    const auto regionDeLong = regionNames("de", UDISPCTX_LENGTH_FULL);
    const auto zoneEn = zoneNames("en");
    const auto zoneDe = zoneNames("de");
    const auto zoneEs = zoneNames("es");
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.size() < 3) continue;
        const std::string arg = line.substr(2);
        if (line[0] == 'R') {
            icu::UnicodeString de, es, deLong;
            regionDe->regionDisplayName(arg.c_str(), de);
            regionEs->regionDisplayName(arg.c_str(), es);
            regionDeLong->regionDisplayName(arg.c_str(), deLong);
            std::cout << "R " << arg << '\t' << utf8(de) << '\t' << utf8(es) << '\t' << utf8(deLong) << '\n';
        } else if (line[0] == 'Z') {
            std::cout << "Z " << arg << '\t' << exemplar(zoneEn.get(), arg) << '\t' << exemplar(zoneDe.get(), arg)
                      << '\t' << exemplar(zoneEs.get(), arg) << '\n';
        } else if (line[0] == 'N') {
            UErrorCode status = U_ZERO_ERROR;
            const icu::Region* region = icu::Region::getInstance(std::stoi(arg), status);
            std::cout << "N " << arg << '\t' << (U_SUCCESS(status) && region ? region->getRegionCode() : "") << '\n';
        }
    }
    return 0;
}
