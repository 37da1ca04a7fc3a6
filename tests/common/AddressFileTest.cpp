#include "TempDir.h"
#include "common/uCommon.h"
#include "platform/files/FileErrors.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using kb::common::AddressGrid;
using Cells = std::vector<std::string>;

class AddressFileTest : public ::testing::Test {
protected:
    AddressGrid load(std::string_view bytes)
    {
        dir.write("Address.csv", bytes);
        AddressGrid grid;
        LoadGridFromFile(file(), grid);
        return grid;
    }

    std::string save(const AddressGrid& grid)
    {
        SaveGridToFile(file(), grid);
        return dir.read("Address.csv");
    }

    // The cells of a row up to its last non-empty one.
    static Cells rowCells(const AddressGrid& grid, int row)
    {
        Cells cells;
        for (int c = 0; c < AddressGrid::columnCount; ++c)
            cells.emplace_back(grid.cell(c, row));
        while (!cells.empty() && cells.back().empty())
            cells.pop_back();
        return cells;
    }

    std::string file() const { return dir.file("Address.csv"); }

    kb::test::TempDir dir;
};

const std::string blankLine = std::string(21, ',') + "\r\n";

TEST_F(AddressFileTest, LinesBecomeRowsAndTheLastLineIsTheTrailer)
{
    const AddressGrid grid = load("Alias,Name\r\na1,Ann\r\na2,Bob\r\n" + blankLine);
    EXPECT_EQ(grid.rowCount(), 3); // four lines: the heading and two addresses shown
    EXPECT_EQ(rowCells(grid, 0), (Cells{"Alias", "Name"}));
    EXPECT_EQ(rowCells(grid, 2), (Cells{"a2", "Bob"}));
    EXPECT_EQ(rowCells(grid, 3), Cells{});

    const AddressGrid unterminated = load("h\r\nx\r\nlast");
    EXPECT_EQ(unterminated.rowCount(), 2);
    EXPECT_EQ(unterminated.cell(0, 2), "last");
}

TEST_F(AddressFileTest, ShortFilesKeepOneVisibleRowAndAnEmptyTrailer)
{
    const AddressGrid empty = load("");
    EXPECT_EQ(empty.rowCount(), 1);
    EXPECT_EQ(save(empty), blankLine + blankLine);

    const AddressGrid oneLine = load("Alias,\"Na,me\"\r\n");
    EXPECT_EQ(oneLine.rowCount(), 1);
    EXPECT_EQ(rowCells(oneLine, 0), (Cells{"Alias", "Na,me"}));
    EXPECT_EQ(save(oneLine), "Alias,\"Na,me\"" + std::string(20, ',') + "\r\n" + blankLine);
}

TEST_F(AddressFileTest, LineEndsFollowTheDosRules)
{
    const AddressGrid grid = load("a\rb\r\nc\nd\r\n\r\ne\x1a"
                                  "f\r\ng\r\n");
    EXPECT_EQ(grid.cell(0, 0), "a");
    EXPECT_EQ(grid.cell(0, 1), "b");
    EXPECT_EQ(grid.cell(0, 2), "c\nd"); // a lone LF is part of the value
    EXPECT_EQ(grid.cell(0, 3), "");     // an empty line is a row that stores nothing
    EXPECT_EQ(grid.cell(0, 4), "e");    // nothing after the Ctrl-Z is read
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.cell(0, 5), "");
}

TEST_F(AddressFileTest, ALargeFileEndsAtItsFirstCtrlZ)
{
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += "a," + std::to_string(i) + "\r\n";
    const AddressGrid grid = load(bytes + "last\x1a" + bytes);
    EXPECT_EQ(grid.rowCount(), 300000);
    EXPECT_EQ(grid.cell(1, 299999), "299999");
    EXPECT_EQ(grid.cell(0, 300000), "last");
}

TEST_F(AddressFileTest, CommasSeparateFieldsAndATrailingCommaAddsNone)
{
    const AddressGrid grid = load("a,,b\r\na,b,\r\n,\r\n  sp , ace  \r\n");
    EXPECT_EQ(rowCells(grid, 0), (Cells{"a", "", "b"}));
    EXPECT_EQ(rowCells(grid, 1), (Cells{"a", "b"}));
    EXPECT_EQ(rowCells(grid, 2), Cells{});
    EXPECT_EQ(rowCells(grid, 3), (Cells{"  sp ", " ace  "}));
}

TEST_F(AddressFileTest, QuotedFieldsFollowTheReadersRules)
{
    const AddressGrid grid = load("\"x,y\",z\r\n"
                                  "\"\"\"q\"\"\",\"a\"\"b\"\r\n"
                                  "\"\",next,\"\"\r\n"
                                  "ab\"c,d\"e,f\r\n"
                                  "tail\"\r\n"
                                  "a,\"\r\n"
                                  "\"open\r\nmore\",after\r\n"
                                  "row\r\n");
    EXPECT_EQ(rowCells(grid, 0), (Cells{"x,y", "z"}));
    EXPECT_EQ(rowCells(grid, 1), (Cells{"\"q\"", "a\"b"}));
    EXPECT_EQ(rowCells(grid, 2), (Cells{"", "next"}));
    EXPECT_EQ(rowCells(grid, 3), (Cells{"abc,de", "f"}));
    EXPECT_EQ(rowCells(grid, 4), (Cells{"tail\""}));
    EXPECT_EQ(rowCells(grid, 5), (Cells{"a", "\""}));
    // A quoted value open at a line end joins the next line, with nothing between.
    EXPECT_EQ(rowCells(grid, 6), (Cells{"openmore", "after"}));
    EXPECT_EQ(rowCells(grid, 7), (Cells{"row"}));
    EXPECT_EQ(grid.rowCount(), 7);
}

TEST_F(AddressFileTest, FieldsBeyondTheLastColumnAreKeptWithIt)
{
    std::string line;
    for (int c = 0; c < 21; ++c)
        line += std::to_string(c) + ",";
    const AddressGrid grid = load(line + "21,22,\"2,3\",\r\nnext\r\n");
    EXPECT_EQ(grid.cell(20, 0), "20");
    EXPECT_EQ(grid.cell(21, 0), "21,22,2,3");
    EXPECT_EQ(grid.cell(0, 1), "next");

    const AddressGrid again = load(save(grid));
    EXPECT_EQ(again.cell(21, 0), "21,22,2,3");
}

TEST_F(AddressFileTest, AnOpenQuoteAtTheEndOfTheFileKeepsItsRowAsTheTrailer)
{
    const AddressGrid grid = load("h\r\na\r\nx,\"unfinished\r\nsecond line");
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(rowCells(grid, 1), Cells{"a"});
    EXPECT_EQ(rowCells(grid, 2), (Cells{"x", "unfinishedsecond line"}));
    EXPECT_EQ(save(grid),
              "h" + std::string(21, ',') + "\r\na" + std::string(21, ',') + "\r\nx,unfinishedsecond line"
                  + std::string(20, ',') + "\r\n");
}

TEST_F(AddressFileTest, ALoadEmptiesTheGridFirst)
{
    AddressGrid grid;
    dir.write("Address.csv", "h\r\na,b,c\r\nd,e,f\r\ng\r\nt\r\n");
    LoadGridFromFile(file(), grid);
    dir.write("Address.csv", "h\r\nx\r\n");
    LoadGridFromFile(file(), grid);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(rowCells(grid, 1), Cells{"x"});
    EXPECT_EQ(rowCells(grid, 2), Cells{});
    EXPECT_EQ(save(grid), "h" + std::string(21, ',') + "\r\nx" + std::string(21, ',') + "\r\n");
}

TEST_F(AddressFileTest, AFailedLoadLeavesTheGridAsItWas)
{
    AddressGrid grid = load("h\r\nkept\r\n\r\n");
    try {
        LoadGridFromFile(dir.file("missing.csv"), grid);
        FAIL() << "a missing file must raise";
    } catch (const kb::platform::EInOutError& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
    EXPECT_THROW(LoadGridFromFile("", grid), kb::platform::EInOutError);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cell(0, 1), "kept");
}

TEST_F(AddressFileTest, WritingQuotesOnlyForCommasAndQuotes)
{
    AddressGrid grid;
    grid.setCell(0, 0, " 12 High St ");
    grid.setCell(1, 0, "a,b");
    grid.setCell(2, 0, "\"");
    grid.setCell(3, 0, "say \"hi\"");
    grid.setCell(21, 0, "last");
    grid.setCell(20, 1, "note\nline two");
    EXPECT_EQ(save(grid),
              " 12 High St ,\"a,b\",\"\"\"\",\"say \"\"hi\"\"\"" + std::string(18, ',') + "last\r\n"
                  + std::string(20, ',') + "note\nline two,\r\n");
}

TEST_F(AddressFileTest, LineBreaksAndCtrlZInValuesCannotSplitOrCutTheFile)
{
    AddressGrid grid;
    grid.setRowCount(2);
    grid.setCell(20, 1, "one\r\ntwo\rthree\n");
    grid.setCell(1, 1,
                 "before\x1a"
                 "after");
    grid.setCell(0, 2, "trailer");
    const AddressGrid back = load(save(grid));
    EXPECT_EQ(back.rowCount(), 2);
    EXPECT_EQ(back.cell(20, 1), "one\ntwo\nthree\n");
    EXPECT_EQ(back.cell(1, 1), "beforeafter");
    EXPECT_EQ(back.cell(0, 2), "trailer");
}

TEST_F(AddressFileTest, AFileThisProgramWroteReadsBackAndSavesTheSameBytes)
{
    const std::string original = "Alias,Name,Cat.\r\n"
                                 "\"a,1\",\"Ann \"\"The\"\" Smith\",friend"
        + std::string(18, ',')
        + "note\n2nd,\r\n"
          ",,,,,,,,,,,,,,,,,,,,,\"\"\"\"\r\n"
        + blankLine;
    const AddressGrid grid = load(original);
    EXPECT_EQ(grid.rowCount(), 3);
    const std::string written = save(grid);
    const AddressGrid back = load(written);
    for (int r = 0; r <= 3; ++r)
        EXPECT_EQ(rowCells(back, r), rowCells(grid, r)) << "row " << r;
    EXPECT_EQ(save(back), written);
    EXPECT_EQ(load(written).rowCount(), grid.rowCount());
}

TEST_F(AddressFileTest, ArbitraryTablesOfBytesSurviveSaveAndLoad)
{
    std::mt19937 random(20260106);
    std::string alphabet;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != 26)
            alphabet += static_cast<char>(b);
    }
    alphabet += ",,\"\"\n\n"; // weight the bytes that matter to the format
    for (int round = 0; round < 40; ++round) {
        AddressGrid grid;
        const int rows = 1 + static_cast<int>(random() % 12);
        grid.setRowCount(rows);
        for (int r = 0; r <= rows; ++r) {
            for (int c = 0; c < AddressGrid::columnCount; ++c) {
                std::string value(random() % 9, ' ');
                for (char& ch : value)
                    ch = alphabet[random() % alphabet.size()];
                grid.setCell(c, r, value);
            }
        }
        const std::string written = save(grid);
        const AddressGrid back = load(written);
        ASSERT_EQ(back.rowCount(), rows);
        for (int r = 0; r <= rows; ++r)
            ASSERT_EQ(rowCells(back, r), rowCells(grid, r)) << "round " << round << ", row " << r;
        ASSERT_EQ(save(back), written);
    }
}

TEST_F(AddressFileTest, AFailedSaveLeavesTheOldFileWhole)
{
    const std::string original = "h\r\nkeep me\r\n";
    AddressGrid grid = load(original);
    grid.setCell(0, 1, "changed");
    ::chmod(file().c_str(), 0444);
    EXPECT_THROW(SaveGridToFile(file(), grid), kb::platform::EInOutError);
    EXPECT_EQ(dir.read("Address.csv"), original);

    try {
        SaveGridToFile("", grid);
        FAIL() << "an empty name must raise";
    } catch (const kb::platform::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
}

TEST(AddressGridTest, CellsReadEmptyUntilSetAnywhere)
{
    AddressGrid grid;
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cell(21, 5000), "");
    grid.setCell(5, 7, "far");
    grid.setCell(0, 7, "first");
    grid.setCell(21, 7, "last");
    grid.setCell(5, 7, "replaced, longer");
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cell(0, 7), "first");
    EXPECT_EQ(grid.cell(5, 7), "replaced, longer");
    EXPECT_EQ(grid.cell(6, 7), "");
    EXPECT_EQ(grid.cell(21, 7), "last");
    grid.setCell(5, 7, "");
    EXPECT_EQ(grid.cell(0, 7), "first");
    EXPECT_EQ(grid.cell(21, 7), "last");
    EXPECT_THROW(grid.setCell(22, 0, "x"), std::out_of_range);
    EXPECT_THROW(grid.cell(0, -1), std::out_of_range);
}

TEST_F(AddressFileTest, ChangedRowsLiveBesideTheLoadedText)
{
    AddressGrid grid = load("h\r\n\"a,1\",Ann,x\r\nb2,Bob\r\nc3,\"Cleo \"\"C\"\"\"\r\n" + blankLine);
    grid.setCell(2, 1, "friend, old");
    grid.insertRow(2);
    grid.setCell(1, 2, "Dan");
    grid.removeRow(3); // Bob
    grid.setCell(0, 3, "c4");
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(rowCells(grid, 1), (Cells{"a,1", "Ann", "friend, old"}));
    EXPECT_EQ(rowCells(grid, 2), (Cells{"", "Dan"}));
    EXPECT_EQ(rowCells(grid, 3), (Cells{"c4", "Cleo \"C\""}));
    EXPECT_EQ(rowCells(grid, 4), Cells{});
    EXPECT_EQ(save(grid),
              "h" + std::string(21, ',') + "\r\n\"a,1\",Ann,\"friend, old\"" + std::string(19, ',') + "\r\n,Dan"
                  + std::string(20, ',') + "\r\nc4,\"Cleo \"\"C\"\"\"" + std::string(20, ',') + "\r\n" + blankLine);
}

TEST_F(AddressFileTest, RowsOfOneCharacterTakeOneOffsetEach)
{
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += i % 2 ? "x\r\n" : "y\r";
    const AddressGrid grid = load(bytes);
    EXPECT_EQ(grid.rowCount(), 99999);
    EXPECT_EQ(grid.storedRowCount(), 100000u);
    EXPECT_EQ(grid.cell(0, 99998), "y");
    EXPECT_EQ(grid.cell(0, 99999), "x");
    EXPECT_EQ(grid.cell(1, 99999), "");
}

TEST_F(AddressFileTest, CellsAroundAHugeCellReadAsWritten)
{
    const std::string huge(1 << 20, 'h');
    const AddressGrid grid = load("a,b\r\n1,2,3," + huge + ",5,6\r\nx," + huge + "\r\n" + blankLine);
    EXPECT_EQ(rowCells(grid, 1), (Cells{"1", "2", "3", huge, "5", "6"}));
    EXPECT_EQ(grid.cell(5, 1), "6");
    EXPECT_EQ(grid.cell(1, 2), huge);
    EXPECT_EQ(grid.cell(2, 2), "");
}

TEST(AddressGridTest, RemovingARowMovesTheRowsBelowUp)
{
    AddressGrid grid;
    grid.setRowCount(3);
    for (int r = 0; r <= 3; ++r)
        grid.setCell(1, r, "row" + std::to_string(r));
    grid.removeRow(1);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cell(1, 1), "row2");
    EXPECT_EQ(grid.cell(1, 2), "row3"); // the trailer moved up with them
    EXPECT_EQ(grid.cell(1, 3), "");
}

} // namespace
