// The statement builders' refusals and the page file reader: the faults a
// live run would not show.
#include <gtest/gtest.h>

#include "main/workspace/cmatrixeditstatements.h"
#include "main/workspace/cvariablestatements.h"

namespace {

CInfoVariable Variable(const std::string& name, const std::string& className, const std::string& size, int kind)
{
    CInfoVariable v;
    v.name = name;
    v.className = className;
    v.size = size;
    v.kind = kind;
    return v;
}

TEST(WorkspaceStatements, UserTextNeverReachesAStatementUnchecked)
{
    std::string statement, message;
    EXPECT_FALSE(CVariableStatements::Rename("x", "y; system('rm')", statement, message));
    EXPECT_FALSE(CVariableStatements::Rename("x", "end", statement, message));
    EXPECT_TRUE(statement.empty());
    EXPECT_FALSE(CVariableStatements::Duplicate("x", "-1", statement, message));
    EXPECT_TRUE(CVariableStatements::Duplicate("x", "", statement, message));
    EXPECT_EQ(CVariableStatements::Delete({"a", "b c", "d"}), "clear a d ;");
    EXPECT_EQ(CVariableStatements::Plot("system", {"a"}), "");
    EXPECT_FALSE(CVariableStatements::Load("/a\nb.mat", statement, message));
}

TEST(WorkspaceStatements, SaveFormatsAndWhatEachLeavesOut)
{
    EXPECT_EQ(CVariableStatements::SaveFormat("fhdf5"), "float-hdf5");
    EXPECT_EQ(CVariableStatements::SaveFormat("FBIN"), "FBIN");
    const std::vector<CInfoVariable> vars = {Variable("m", "double", "3x3", 2), Variable("e", "double", "0x0", 2),
                                             Variable("a", "double", "2x2x2", 1)};
    std::string statement, message;
    EXPECT_TRUE(CVariableStatements::Save("/p.fbin", "fbin", vars, statement, message));
    EXPECT_EQ(statement, "save('-float-binary', '/p.fbin', 'm','a');");
    EXPECT_NE(message.find(": e."), std::string::npos);
    EXPECT_FALSE(CVariableStatements::Save("/p.txt", "txt", {vars[0], vars[1]}, statement, message));
    EXPECT_TRUE(CVariableStatements::Save("/p.txt", "txt", {vars[0], vars[2]}, statement, message));
    EXPECT_NE(message.find(": a."), std::string::npos);
}

TEST(WorkspaceStatements, PageFileIsReadOneLinePerRow)
{
    // Row 1 short, row 2 long, row 3 a token past 80 bytes, row 4 missing.
    CGridModel grid;
    grid.SetLines(4, 3, " 1 2\r\n 4 5 6 99\n" + QByteArray(90, '7') + "\n", CMatrixEditStatements::SplitLine);
    EXPECT_EQ(grid.CellText(0, 1), "2");
    EXPECT_EQ(grid.CellText(0, 2), "");
    EXPECT_EQ(grid.CellText(1, 2), "6");
    EXPECT_EQ(grid.CellText(2, 0).size(), 80);
    EXPECT_EQ(grid.CellText(3, 0), "");
}

TEST(WorkspaceStatements, OnlyNumericVariablesOfUpToThreeDimensionsOpen)
{
    EXPECT_TRUE(CVariableStatements::OpensInEditor(Variable("a", "uint16", "2x2x2", 1)));
    EXPECT_FALSE(CVariableStatements::OpensInEditor(Variable("a", "double", "2x2x2x2", 1)));
    EXPECT_FALSE(CVariableStatements::OpensInEditor(Variable("c", "char", "1x3", 3)));
    EXPECT_FALSE(CVariableStatements::OpensInEditor(Variable("l", "logical", "1x3", 3)));
}

}  // namespace
