#include "AddressFileGenerator.h"

#include <array>
#include <random>

namespace {

const std::array<const char*, 8> givenNames{"Anna", "Bernd", "Chiara", "Dmitri", "Emma", "Farid", "Greta", "Hiro"};
const std::array<const char*, 8> familyNames{"Smith",  "Okafor", "Lindqvist", "Moreau",
                                             "Tanaka", "Novak",  "Rossi",     "Keller"};
const std::array<const char*, 5> categories{"Friend", "Family", "Work", "Club", ""};
const std::array<const char*, 6> streets{"High St", "Mill Lane", "Station Road", "Kings Way", "Elm Close", "Market Sq"};
const std::array<const char*, 6> towns{"Bristol", "Leeds", "York", "Bath", "Derby", "Hull"};
const std::array<const char*, 5> offices{"Acme Ltd", "Northwind", "Globex, Inc.", "Initech", "Umbrella plc"};

// The writer's rule: quotes only around a value with a comma.
std::string quoted(const std::string& value)
{
    return value.find(',') == std::string::npos ? value : "\"" + value + "\"";
}

} // namespace

std::string generateAddressFile(std::size_t addressCount)
{
    std::mt19937 random(19980106);
    const auto pick = [&random](const auto& list) { return std::string(list[random() % list.size()]); };
    const auto digits = [&random](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };

    std::string file = "Alias,Name,Cat.,Tel,Fax,Zip,Address,DOB,Office,Dept.,Post,Tel,Fax,Zip,Address,"
                       "Email,Photo,,,,Note,\r\n";
    file.reserve(addressCount * 190 + 200);
    for (std::size_t i = 0; i < addressCount; ++i) {
        const std::string given = pick(givenNames);
        const std::string family = pick(familyNames);
        const std::string fields[22] = {
            given.substr(0, 2) + std::to_string(i),
            given + " " + family,
            pick(categories),
            "0" + digits(3) + " " + digits(6),
            (i % 3 == 0) ? "0" + digits(3) + " " + digits(6) : "",
            "BS" + digits(1) + " " + digits(1) + "AB",
            "\"" + digits(2) + " " + pick(streets) + ", " + pick(towns) + "\"",
            digits(2) + "/" + digits(2) + "/19" + digits(2),
            quoted(pick(offices)),
            "Sales",
            "",
            (i % 2 == 0) ? "0" + digits(3) + " " + digits(6) : "",
            "",
            "LS" + digits(1) + " " + digits(1) + "CD",
            pick(towns),
            given + "." + family + "@mail.uk",
            (i % 4 == 0) ? "c:\\kb\\photos\\p" + std::to_string(i) + ".bmp" : "",
            "",
            "",
            "",
            "Met at \"\"fair\"\"\nCall at six",
            "",
        };
        for (int c = 0; c < 22; ++c) {
            if (c > 0)
                file += ',';
            // The note holds a quote, so it is written quoted.
            file += c == 20 ? "\"" + fields[c] + "\"" : fields[c];
        }
        file += "\r\n";
    }
    file += std::string(21, ',') + "\r\n";
    return file;
}
