#include "address/AddressTableModel.h"
#include "AddressLines.h"
#include "TempDir.h"
#include "address/AddressEditSession.h"
#include "common/AddressColumns.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using kb::test::commas21;
using kb::test::heading;
using kb::test::line;

TEST(AddressTableModelTest, RefusesMoreRowsThanTheListCanShow)
{
    kb::test::TempDir dir;
    dir.write("Address.csv", heading + line({"a1"}) + line({"b2"}) + commas21 + "\r\n");
    kb::address::AddressTableModel model(2);
    model.load(dir.file("Address.csv"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_THROW(model.appendTrailerRow(), std::length_error);

    dir.write("Address.csv", heading + line({"a1"}) + line({"b2"}) + line({"c3"}) + commas21 + "\r\n");
    EXPECT_THROW(model.load(dir.file("Address.csv")), std::length_error);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1, 0).data().toString(), "b2");
}

TEST(AddressTableModelTest, AHugeCellIsListedByItsStartAndStaysWhole)
{
    kb::test::TempDir dir;
    const std::string huge(64 * 1024 * 1024, 'x');
    dir.write("Address.csv", heading + line({"a1", huge}) + commas21 + "\r\n");
    kb::address::AddressTableModel model(10);
    model.load(dir.file("Address.csv"));
    const QString shown = model.index(0, 1).data().toString();
    EXPECT_EQ(shown, QString(int(kb::address::maxListedCellBytes), 'x') + QChar(0x2026));
    EXPECT_EQ(model.grid().cell(1, 1).size(), huge.size());
}

TEST(AddressEditSessionTest, AfterAReloadSaveFindsTheOpenedAddressOrMakesANewRow)
{
    kb::test::TempDir dir;
    dir.write("Address.csv", heading + line({"a1", "Ann"}) + line({"b2", "Bob"}) + commas21 + "\r\n");
    kb::address::AddressTableModel model(10);
    model.load(dir.file("Address.csv"));
    kb::address::AddressEditSession session(model);

    session.open(2);
    EXPECT_EQ(session.saveTarget().row, 2); // no reload: the opened row

    session.open(2);
    dir.write("Address.csv", heading + line({"b2", "Bob"}) + commas21 + "\r\n");
    model.load(dir.file("Address.csv"));
    session.noteReload();
    const auto moved = session.saveTarget();
    EXPECT_EQ(moved.row, 1);
    EXPECT_TRUE(moved.foundAgain);

    dir.write("Address.csv", heading + line({"c3", "Cleo"}) + commas21 + "\r\n");
    model.load(dir.file("Address.csv"));
    session.noteReload();
    EXPECT_EQ(session.saveTarget().row, 2); // Bob is gone: a new row before the trailer
    EXPECT_EQ(model.grid().rowCount(), 3);
    EXPECT_EQ(model.grid().cell(0, 1), "c3");
}

TEST(AddressEditSessionTest, ACellTooLongToEditIsShownInPartAndSavedWhole)
{
    kb::test::TempDir dir;
    const std::string note(kb::address::maxEditedCellBytes + 1, 'n');
    std::vector<std::string> cells(21);
    cells[0] = "a1";
    cells[kb::common::NoteColumn] = note;
    dir.write("Address.csv", heading + line(cells) + commas21 + "\r\n");
    kb::address::AddressTableModel model(10);
    model.load(dir.file("Address.csv"));
    kb::address::AddressEditSession session(model);
    session.open(1);
    EXPECT_TRUE(session.shownInPart(kb::common::NoteColumn));
    EXPECT_FALSE(session.shownInPart(0));
    EXPECT_EQ(session.shownBytes(kb::common::NoteColumn).size(), kb::address::maxEditedCellBytes);

    // A reload took the address away: Save makes a new row, with the note whole.
    dir.write("Address.csv", heading + commas21 + "\r\n");
    model.load(dir.file("Address.csv"));
    session.noteReload();
    const auto typed = [](int column) { return column == 0 ? std::string("typed") : std::string("part"); };
    const int row = session.save(typed).row;
    EXPECT_EQ(model.grid().cell(0, row), "typed");
    EXPECT_EQ(model.grid().cell(kb::common::NoteColumn, row), note);
}

TEST(AddressEditSessionTest, AddOpensTheTrailerAsANewRowAndDeleteSparesTheHeading)
{
    kb::test::TempDir dir;
    dir.write("Address.csv", heading + line({"a1", "Ann"}) + line({"trailer"}));
    kb::address::AddressTableModel model(10);
    model.load(dir.file("Address.csv"));
    kb::address::AddressEditSession session(model);

    EXPECT_EQ(session.openNewRow(), 2);
    EXPECT_EQ(model.grid().cell(0, 2), "trailer"); // the trailer's line, listed now
    EXPECT_EQ(model.grid().rowCount(), 3);
    EXPECT_EQ(session.saveTarget().row, 2);

    session.deleteRow(0);
    EXPECT_EQ(model.grid().cell(0, 0), "Alias");
    session.deleteRow(1);
    EXPECT_EQ(model.grid().cell(0, 1), "trailer");
}

} // namespace
