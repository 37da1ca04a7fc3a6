#include "AddressBook.h"

#include <array>

namespace {

constexpr int fieldCount = 22;
const std::string lineEnd = "\r\n";

using Fields = std::array<std::string, fieldCount>;

std::string joined(const Fields& fields)
{
    std::string line;
    for (int column = 0; column < fieldCount; ++column) {
        if (column > 0)
            line += ',';
        line += quotedField(fields[std::size_t(column)]);
    }
    return line + lineEnd;
}

Fields headingFields()
{
    return {"Alias",      "Name",       "Category",       "Tel",   "Fax",   "Zip",
            "Address",    "Birthday",   "Office",         "Dept",  "Post",  "Office Tel",
            "Office Fax", "Office Zip", "Office Address", "Email", "Photo", "",
            "",           "",           "Note",           ""};
}

Fields fieldsOf(const SampleAddress& a)
{
    return {a.alias,
            a.name,
            a.category,
            a.tel,
            a.fax,
            a.zip,
            a.address,
            a.birthday,
            a.office,
            a.dept,
            a.post,
            a.officeTel,
            a.officeFax,
            a.officeZip,
            a.officeAddress,
            a.email,
            a.photoFile.empty() ? std::string() : photoDosPath(a.photoFile),
            "",
            "",
            "",
            a.note,
            ""};
}

Portrait portrait(QColor background, QColor skin, QColor hair, QColor clothes, HairStyle style, bool glasses = false,
                  bool beard = false)
{
    return {background, skin, hair, clothes, style, glasses, beard};
}

const QColor fair(240, 204, 178), rosy(232, 186, 160), olive(206, 160, 118), tawny(178, 128, 88), brown(132, 86, 58),
    deep(96, 62, 44);
const QColor blonde(222, 188, 110), auburn(150, 70, 40), chestnut(100, 60, 36), black(34, 28, 26), grey(168, 164, 160),
    white(226, 224, 220), ginger(196, 104, 50);

} // namespace

const std::vector<SampleAddress>& sampleAddresses()
{
    // One address a paragraph reads better than one field a line.
    // clang-format off
    static const std::vector<SampleAddress> addresses = {
        {"Anna", "Anna Whitfield", "Family", "0117 496 0142", "", "BS6 5QT", "14 Cotham Vale, Bristol",
         "12/03/1961", "Whitfield & Daughters", "Accounts", "Partner", "0117 496 0581", "0117 496 0582",
         "BS1 4DJ", "2 Corn Street, Bristol", "anna.whitfield@example.com", "ANNA.BMP",
         "Sister. Kids: Tom (9) and Lucy (6).\nSend cards early in December.", true,
         portrait(QColor(120, 150, 190), fair, auburn, QColor(60, 90, 140), HairStyle::Bob)},
        {"Dad", "George Whitfield", "Family", "01632 960311", "", "TA1 3LN",
         "Rose Cottage, Mill Lane, Taunton", "7 July 1934", "", "", "", "", "", "", "",
         "george.w@example.org", "GEORGE.BMP",
         "Retired.\nAllotment on Tuesdays and Thursdays\nLikes crosswords", true,
         portrait(QColor(150, 160, 130), rosy, white, QColor(90, 70, 50), HairStyle::Bald, true)},
        {"Mum", "Margaret Whitfield", "Family", "01632 960311", "", "TA1 3LN",
         "Rose Cottage, Mill Lane, Taunton", "21 Feb 1937", "", "", "", "", "", "", "",
         "", "MARGARET.BMP", "Birthday lunch at \"The Old Mill\" again?", true,
         portrait(QColor(190, 160, 180), fair, grey, QColor(120, 60, 90), HairStyle::Curly, true)},
        {"Grandma", "Edith Whitfield", "Family", "01632 960422", "", "EX4 4QJ",
         "The Laurels, 3 Pennsylvania Road, Exeter", "11 November 1912", "", "", "", "", "", "", "",
         "", "EDITH.BMP", "Hard of hearing - ring twice and wait.\nLoves lemon drizzle cake.", true,
         portrait(QColor(170, 150, 120), rosy, white, QColor(80, 100, 120), HairStyle::Bun, true)},
        {"Uncle Bob", "Robert Whitfield", "Family", "028 9018 0234", "", "BT9 6GL",
         "44 Malone Avenue, Belfast", "3/3/1940", "", "", "", "", "", "", "",
         "bob.whitfield@example.org", "BOB.BMP",
         "Retired ship's engineer.\nTells the story of the \"Ulster Star\" every Christmas.", true,
         portrait(QColor(110, 130, 150), rosy, grey, QColor(40, 50, 80), HairStyle::Short, false, true)},
        {"Raj", "Rajesh Patel", "Work", "0116 496 0733", "", "LE2 1TG", "41 Evington Road, Leicester",
         "1968-11-02", "Kestrel Systems Ltd", "Software", "Team Leader", "0116 496 0900",
         "0116 496 0901", "LE1 5WW", "Unit 4, Frog Island, Leicester", "raj.patel@example.com",
         "RAJ.BMP", "Prefers e-mail.\nVegetarian.", true,
         portrait(QColor(90, 120, 110), tawny, black, QColor(70, 70, 90), HairStyle::Short, true)},
        {"Doc", "Dr. Eleanor \"Nell\" Hughes", "Health", "0121 496 0456", "0121 496 0457", "B17 9QS",
         "", "", "Harborne Surgery", "", "GP", "0121 496 0456", "0121 496 0457", "B17 9QS",
         "Harborne Surgery, 18 High Street, Birmingham", "reception@harborne-surgery.example.org",
         "ELEANOR.BMP", "Surgery 8:30-11:00 weekdays\nRepeat prescriptions: 48 hours' notice", true,
         portrait(QColor(170, 190, 200), fair, chestnut, QColor(240, 240, 240), HairStyle::Long)},
        {"Sam", "Samantha O'Neill", "Friends", "07700 900123", "", "M20 2RN",
         "9 Lapwing Lane, Didsbury, Manchester", "30/09/1972", "Northern Lights Theatre", "Box Office",
         "Manager", "0161 496 0222", "", "M1 4BT", "Oldham Street, Manchester",
         "sam.oneill@example.net", "SAM.WMF", "Met at college, 1990.", true,
         portrait(QColor(200, 170, 110), fair, ginger, QColor(40, 110, 80), HairStyle::Long)},
        {"Jonty", "Jonathan Ashcroft-Blake", "Friends", "020 7946 0318", "020 7946 0319", "NW3 2PN",
         "Flat 3, 27 Belsize Park Gardens, London", "1 April 1969", "Ashcroft Blake Architects", "",
         "Director", "020 7946 0555", "020 7946 0556", "EC1V 9HX", "118 Old Street, London",
         "jonty@ashcroftblake.example.com", "JONTY.BMP",
         "Godfather to Lucy.\nAllergic to cats, so meet at his place.", true,
         portrait(QColor(100, 100, 120), rosy, blonde, QColor(30, 30, 36), HairStyle::Short)},
        {"Mrs P", "Patricia Lowe", "Neighbours", "0117 496 0199", "", "BS6 6BX",
         "20 Redland Grove, Bristol", "", "", "", "", "", "", "", "", "", "",
         "Next door but one. Has our spare key.\nFeeds the cat when we are away.", true, {}},
        {"Mike", "Michael R. Donovan", "Work", "+1 212 555 0147", "", "10014",
         "88 Bedford Street, Apt 5C, New York, NY", "", "Donovan Imports Inc.", "Purchasing",
         "Vice President", "+1 212 555 0190", "+1 212 555 0191", "10001",
         "350 West 31st Street, New York, NY", "mike@donovan-imports.example.com", "MIKE.BMP",
         "Five hours behind us.\nCall before 1 pm his time.", true,
         portrait(QColor(130, 140, 160), olive, chestnut, QColor(50, 60, 110), HairStyle::Short, false, true)},
        {"Fiona", "Fiona MacLeod", "Friends", "0131 496 0614", "", "EH3 6AB",
         "22 Dundas Street, Edinburgh", "5 Aug 1975", "Lothian Music Society", "Education",
         "Outreach Officer", "0131 496 0700", "", "EH1 1QS", "High Street, Edinburgh",
         "fiona.macleod@example.org", "FIONA.BMP", "Plays cello in the Sunday quartet.", true,
         portrait(QColor(140, 170, 140), fair, ginger, QColor(120, 40, 60), HairStyle::Curly)},
        {"Noah", "Noah Bennett", "Friends", "0115 496 0888", "", "NG7 1FB",
         "5 Lenton Boulevard, Nottingham", "19/06/1980", "Trent Valley Cycles", "Workshop", "Mechanic",
         "0115 496 0890", "", "NG1 7FH", "Castle Gate, Nottingham", "noah.b@example.net", "NOAH.BMP",
         "Mended the tandem in 1997.\nPhoto still to be scanned.", false, {}},
        {"Helen", "Helen Carter", "Work", "0118 496 0277", "", "RG1 5EX", "31 Alexandra Road, Reading", "",
         "Carter, Lane & Hope", "Conveyancing", "Solicitor", "0118 496 0500", "0118 496 0501", "RG1 1AG",
         "12 Friar Street, Reading", "h.carter@carterlanehope.example.com", "HELEN.BMP",
         "Handles the house purchase.\nRef: CLH/97/4411", true,
         portrait(QColor(150, 130, 150), fair, black, QColor(50, 50, 60), HairStyle::Bun)},
        {"Priya", "Priya Sharma", "Work", "0113 496 0351", "", "LS6 2AB", "12 Headingley Lane, Leeds",
         "23 December 1977", "Aire Valley Textiles plc", "Design", "Senior Designer", "0113 496 0600",
         "0113 496 0601", "LS1 4BR", "Park Row, Leeds", "priya.sharma@example.com", "PRIYA.BMP",
         "Fabric samples due at the end of the month.", true,
         portrait(QColor(200, 140, 120), brown, black, QColor(180, 60, 90), HairStyle::Long)},
        {"Tom & Jess", "Tom and Jessica Reid", "Friends", "029 2018 0466", "", "CF11 9LJ",
         "8 Pontcanna Street, Cardiff", "Tom 2/5/71, Jess 17/8/73", "", "", "", "", "", "", "",
         "reids@example.net", "REIDS.BMP", "Wedding anniversary 12 June.\nBring wine, not flowers.", true,
         portrait(QColor(160, 190, 150), rosy, chestnut, QColor(150, 110, 60), HairStyle::Short)},
        {"Dentist", "Mr. A. Okafor", "Health", "", "", "", "", "", "Whiteladies Dental Practice", "",
         "Dentist", "0117 496 0911", "", "BS8 2LY", "63 Whiteladies Road, Bristol",
         "appointments@whiteladies-dental.example.org", "OKAFOR.BMP",
         "Check-up every six months.\nNext: 14 January, 9:15", true,
         portrait(QColor(150, 180, 200), deep, black, QColor(236, 236, 240), HairStyle::Short, true)},
        {"Chris", "Christopher Lang", "Work", "0141 496 0512", "", "G12 8QQ", "Flat 2/1, 19 Byres Road, Glasgow",
         "", "Clyde Data Services", "Support, Level 2", "Engineer", "0141 496 0800", "0141 496 0801",
         "G2 5UB", "St Vincent Street, Glasgow", "chris.lang@example.com", "CHRIS.BMP",
         "On call every third weekend.", true,
         portrait(QColor(110, 110, 100), fair, blonde, QColor(90, 120, 60), HairStyle::Short, false, true)},
        {"Ruth", "Ruth Goldberg", "Friends", "0151 496 0747", "", "L17 8UR", "Lark Lane, Aigburth, Liverpool",
         "9 October 1955", "Sefton Park Library", "Reference", "Librarian", "0151 496 0750", "", "L17 1AP",
         "Aigburth Road, Liverpool", "ruth.goldberg@example.org", "RUTH.BMP",
         "Book group: first Wednesday.\nReading \"A Suitable Boy\", slowly.", true,
         portrait(QColor(180, 160, 130), rosy, grey, QColor(70, 90, 110), HairStyle::Bob, true)},
        {"Marco", "Marco Bellini", "Friends", "0114 496 0166", "", "S11 8YA", "20 Ecclesall Road, Sheffield", "",
         "Bellini's Trattoria", "", "Owner", "0114 496 0170", "", "S1 2GD", "Division Street, Sheffield",
         "marco@bellinis.example.com", "MARCO.EMF", "Birthday table: ask for the one by the window.", true,
         portrait(QColor(190, 120, 90), olive, black, QColor(240, 240, 236), HairStyle::Curly, false, true)},
    };
    // clang-format on
    return addresses;
}

std::string photoDosPath(const std::string& photoFile)
{
    return "C:\\KB\\DATA\\PHOTOS\\" + photoFile;
}

std::string quotedField(const std::string& value)
{
    if (value.find_first_of(",\"") == std::string::npos)
        return value;
    std::string quoted = "\"";
    for (char c : value) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string addressFileBytes(const std::vector<SampleAddress>& addresses)
{
    std::string bytes = joined(headingFields());
    for (const SampleAddress& address : addresses)
        bytes += joined(fieldsOf(address));
    return bytes + joined(Fields{});
}

std::string settingsFileBytes()
{
    const char* const lines[] = {
        "ADDRESS_FILE=C:\\KB\\DATA\\ADDRESS.CSV",
        "SCHEDULE_FILE=C:\\KB\\DATA\\SCHEDULE.DAT",
        "TODO_FILE=C:\\KB\\DATA\\TODO.DAT",
        "NOTEBOOK_DIR=C:\\KB\\DATA\\NOTES",
        "PRINTER=LPT1",
        "PAPER=A4",
        "DATE_FORMAT=DD/MM/YYYY",
        "COLOUR=ON",
    };
    std::string bytes;
    for (const char* line : lines)
        bytes += std::string(line) + lineEnd;
    return bytes;
}
