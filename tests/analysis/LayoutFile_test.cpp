// Layout files in both forms: what they hold, every kind of mistake named by line and well,
// and writing that never leaves half a file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "analysis/LayoutFile.h"
#include "plate/PlateGeometry.h"
#include "support/TestSupport.h"
#include "support/TinyTmpfs.h"

namespace vantorix {
namespace {

const WellAssignment& at(const WellLayout& layout, const char* well) {
    return layout.wells[size_t(*wellFromName(QString::fromLatin1(well)))];
}

// The same plate typed in the two forms, the second with semicolons and decimal commas as a
// spreadsheet in many languages saves it; the concentration's title carries its unit.
const char* const kCsvForm =
    "well,role,name,Concentration (ng/mL),dilution,excluded\n"
    "A1,blank,,,,\n"
    "A2,Standard,,12.5,,\n"
    "B1,sample,\"Liver, left\",,4,\n"
    "B12,negative,,,,\n"
    "H12,sample,S9,,,bubble in the well\n";
const char* const kBlockForm =
    "role;1;2;3;4;5;6;7;8;9;10;11;12\n"
    "A;blank;standard\n"
    "B;sample;;;;;;;;;;;negative\n"
    "H;;;;;;;;;;;;sample\n"
    "\n"
    "name\n"
    ";1;2;3;4;5;6;7;8;9;10;11;12\n"
    "B;Liver, left\n"
    "H;;;;;;;;;;;;S9\n"
    "concentration (ng/mL);1;2\n"
    "A;;12,5\n"
    "dilution;1\n"
    "B;4\n"
    "excluded;12\n"
    "H;bubble in the well\n";

TEST(LayoutFile, BothFormsReadTheSameWellsAndTheListFormWritesThemBack) {
    for (const char* text : {kCsvForm, kBlockForm}) {
        const LayoutRead r = parseLayoutText(QString::fromUtf8(text));
        ASSERT_TRUE(r.ok) << r.message.toStdString();
        EXPECT_EQ(at(r.layout, "A1").role, WellRole::Blank);
        EXPECT_EQ(at(r.layout, "A2").concentration, 12.5);
        EXPECT_EQ(at(r.layout, "B1").name, "Liver, left");
        EXPECT_EQ(at(r.layout, "B1").dilution, 4);
        EXPECT_EQ(at(r.layout, "B12").role, WellRole::Negative);
        EXPECT_TRUE(at(r.layout, "H12").excluded);
        EXPECT_EQ(at(r.layout, "H12").exclusionReason, "bubble in the well");
        EXPECT_EQ(at(r.layout, "C3").role, WellRole::Empty);
        EXPECT_EQ(r.layout.concentrationUnit, "ng/mL");
        EXPECT_EQ(layoutCsvText(r.layout),
                  "well,role,name,concentration (ng/mL),dilution,excluded\n"
                  "A1,blank,,,,\n"
                  "A2,standard,,12.5,,\n"
                  "B1,sample,\"Liver, left\",,4,\n"
                  "B12,negative,,,,\n"
                  "H12,sample,S9,,1,bubble in the well\n");
    }
}

TEST(LayoutFile, MistakesAreNamedByLineAndWell) {
    const struct {
        const char *text, *message;
    } cases[] = {
        {"well,role\nA1,blank\nA1,sample\n", "line 3: A1 appears twice (first on line 2)"},
        {"well,role\nA1,blanc\n",
         "line 2: A1: unknown role 'blanc' (blank, standard, positive, negative, sample or "
         "empty)"},
        {"well,role,concentration\nB2,standard,\n", "line 2: B2: a standard needs a concentration"},
        {"well,role\nI1,blank\n", "line 2: 'I1' is not a well of the plate (A1-H12)"},
        {"well,role\nA13,blank\n", "line 2: 'A13' is not a well of the plate (A1-H12)"},
        {"well,role,concentration\nC3,standard,-5\n",
         "line 2: C3: concentration '-5' is not a positive number"},
        {"well,role,dilution\nC3,sample,0\n", "line 2: C3: dilution '0' is not a positive number"},
        {"well,role,concentration\nD4,sample,3\n",
         "line 2: D4: only standards have a concentration (this well is sample)"},
        {"well,role,volume\n",
         "line 1: unknown column 'volume' (well, role, name, concentration, "
         "dilution, excluded)"},
        {"role,1,2\nI,blank\n", "line 2: row 'I' is outside the plate (A1-H12)"},
        {"role,1,13\n", "line 1: column heading '13' is not a column of the plate (1-12)"},
        {"role,1\nA,blank,blank\n", "line 2: 'blank' stands in no column of the plate (A1-H12)"},
        {"role,1\nA,blank\nA,blank\n", "line 3: row A appears twice in one block"},
        {"name,1\nA,x\n", "no 'role' block: the layout says nothing about the wells"},
        {"role,1\nA,standard\n", "A1: a standard needs a concentration"},
        {"", "the layout holds no wells"},
    };
    for (const auto& c : cases) {
        const LayoutRead r = parseLayoutText(QString::fromUtf8(c.text));
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
    }
}

TEST(LayoutFile, AFullDiskLeavesTheOldLayoutWhole) {
    test::TinyTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const QString path = layoutPathFor(disk.path() + "/run.ovd");
    EXPECT_EQ(path, disk.path() + "/run.layout.csv");
    test::writeFileBytes(path, "well,role\nA1,blank\n");
    disk.fillLeaving(0);
    WellLayout layout;
    for (WellAssignment& w : layout.wells) w.role = WellRole::Sample, w.name = QString(60, 'n');
    const QString error = writeLayoutFile(layout, path);
    EXPECT_TRUE(error.startsWith(path + ": ")) << error.toStdString();
    EXPECT_EQ(test::readFileBytes(path), "well,role\nA1,blank\n");
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), QStringList({"filler", "run.layout.csv"}));
    const LayoutRead back = readLayoutFile(path);
    EXPECT_TRUE(back.ok && at(back.layout, "A1").role == WellRole::Blank);
}

}  // namespace
}  // namespace vantorix
