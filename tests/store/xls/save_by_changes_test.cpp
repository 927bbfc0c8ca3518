// Saves that copy unchanged rows and strings, against the model: random edits of random
// workbooks, every corpus file, files written by others or changed behind the workbook's back.
// ReadXlsFile, xlrd, the SST's counts and index (sst_check.py) and LibreOffice read them back.
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

namespace tomorine {
namespace {

using namespace test;
using nlohmann::json;
namespace fs = std::filesystem;

// A command's output; it must succeed.
std::string Output(const std::string& command) {
    const TempDir dir;
    EXPECT_EQ(std::system((command + " >" + (dir / "out").string()).c_str()), 0) << command;
    return ReadText(dir / "out");
}

json SstFaults(const fs::path& file) {
    return json::parse(Output("/usr/bin/python3 " TOMORINE_SST_CHECK " '" + file.string() + "'"));
}

// What a reader must find after every save: the model (numbers bit for bit, ReadXlsFile's
// reading as xlrd's); xlrd itself and the SST check when asked.
void ExpectReadBack(const Workbook& book, const fs::path& file, bool withPeers) {
    ASSERT_TRUE(SameAsXlrd(book, {{"sheets", ValuesOf(ReadXlsFile(file))}}));
    if (withPeers) {
        EXPECT_TRUE(SameAsXlrd(book, XlrdValues(file)));
        EXPECT_EQ(SstFaults(file), json::array());
    }
}

const std::u16string kPieces[] = {u"a", u"Z9", u"é", u"あ", u"漢字", u"𠮷", u"😀", u" ", u","};
const std::u16string kRepeated[] = {u"", u"未読", u"https://example.com/", u"𠮷野家"};
const double kNumbers[] = {-0.0, 0.1, 1e300, 536870911, -536870912, 9007199254740993.0};
const std::uint8_t kErrors[] = {0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A};

std::u16string RandomText(std::mt19937& random, std::size_t pieces) {
    std::u16string text;
    for (auto i = random() % pieces; i > 0; --i) {
        text += kPieces[random() % std::size(kPieces)];
    }
    return text;
}

// Texts new and repeated (some long enough to split the SST), numbers RK and not, booleans,
// errors and blanks between them; the first cell a serial, as an entry's.
Sheet::Row RandomRow(std::mt19937& random) {
    const auto pick = [&](std::size_t n) { return random() % n; };
    Sheet::Row row(1 + pick(12));
    row[0] = Cell::number(static_cast<double>(random()));
    for (std::size_t c = 1; c < row.size(); ++c) {
        const Cell cells[] = {Cell(),
                              Cell::text(RandomText(random, pick(8) ? 12 : 700)),
                              Cell::text(kRepeated[pick(std::size(kRepeated))]),
                              Cell::number(kNumbers[pick(std::size(kNumbers))]),
                              Cell::number(static_cast<int>(random()) / 64.0),
                              Cell::boolean(pick(2)),
                              Cell::error(kErrors[pick(std::size(kErrors))])};
        row[c] = cells[pick(std::size(cells))];
    }
    return row;
}

// An entry registered, updated (a cell or the whole row) or deleted, as the program does them.
void RandomEdit(Sheet& sheet, std::mt19937& random) {
    const int rows = sheet.lastUsedRow(), row = 1 + static_cast<int>(random() % (rows + 1));
    if (const auto kind = random() % 4; kind == 0 || row > rows) {
        sheet.appendRow(RandomRow(random));
    } else if (kind == 1) {
        sheet.setCell(row, 1 + static_cast<int>(random() % 12), RandomRow(random).back());
    } else {
        kind == 2 ? sheet.replaceRow(row, RandomRow(random)) : sheet.deleteRow(row);
    }
}

Workbook RandomBook(std::mt19937& random) {
    Workbook book;
    for (auto s = 1 + random() % 3; s > 0; --s) {
        Sheet& sheet = book.addSheet(u"シート" + FromUtf8(std::to_string(s)));
        for (auto r = random() % 150; r > 0; --r) {
            sheet.appendRow(RandomRow(random));
        }
    }
    return book;
}

class SaveByChangesTest : public ::testing::TestWithParam<unsigned> {};

// Every few steps a compaction; xlrd and the SST check every tenth step.
TEST_P(SaveByChangesTest, RandomEditsReadBackAsTheModelHoldsThem) {
    std::mt19937 random(GetParam());
    Workbook book = RandomBook(random);
    const TempDir dir;
    EXPECT_EQ(WriteXlsFile(book, dir / "b.xls"), SaveMethod::Whole) << "a new file";
    int saves = 0, byChanges = 0;
    for (int step = 1; step <= 60; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        for (auto edits = random() % 5; edits > 0; --edits) { // none: saved as it is
            RandomEdit(book.sheet(1 + static_cast<int>(random() % book.sheetCount())), random);
        }
        const bool compact = random() % 8 == 0;
        const SaveMethod method =
            WriteXlsFile(book, dir / "b.xls", compact ? SaveMethod::Whole : SaveMethod::Changes);
        EXPECT_TRUE(!compact || method == SaveMethod::Whole);
        saves += !compact;
        byChanges += method == SaveMethod::Changes;
        ExpectReadBack(book, dir / "b.xls", step % 10 == 0);
    }
    EXPECT_GE(byChanges * 4, saves * 3) << byChanges << " of " << saves << " saves by changes";
}

INSTANTIATE_TEST_SUITE_P(Seeds, SaveByChangesTest, ::testing::Values(1u, 7u, 2024u, 65537u));

class ChangedOnDiskTest : public ::testing::TestWithParam<bool> {};

// Replaced by another save, or rewritten in place, same size, its time put back: the next save
// must not copy from it.
TEST_P(ChangedOnDiskTest, IsSavedWhole) {
    std::mt19937 random(3);
    Workbook book = RandomBook(random);
    book.sheet(1).replaceRow(1, {Cell::number(1), Cell::number(2.5)});
    const TempDir dir;
    WriteXlsFile(book, dir / "b.xls");
    Workbook other = book;
    other.sheet(1).setCell(1, 2, Cell::number(-1.5)); // as long as 2.5 in the file
    if (struct stat before{}; GetParam() && ::stat((dir / "b.xls").c_str(), &before) == 0) {
        const std::vector<std::uint8_t> bytes = WriteXlsBytes(other);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(before.st_size));
        WriteBytes(dir / "b.xls", bytes);
        const timespec times[] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, (dir / "b.xls").c_str(), times, 0);
    } else {
        WriteXlsFile(other, dir / "b.xls");
    }
    book.sheet(1).appendRow(RandomRow(random));
    EXPECT_EQ(WriteXlsFile(book, dir / "b.xls"), SaveMethod::Whole);
    ExpectReadBack(book, dir / "b.xls", true);
}

INSTANTIATE_TEST_SUITE_P(InPlace, ChangedOnDiskTest, ::testing::Bool());

// Saved whole first, as files of other writers are; then by changes.
void ExpectWholeThenChanges(Workbook& book, const fs::path& file, SaveMethod first) {
    EXPECT_EQ(first, SaveMethod::Whole);
    ExpectReadBack(book, file, false);
    Sheet& sheet = book.sheet(1);
    sheet.deleteRow(sheet.lastUsedRow() / 2 + 1); // first, for a full sheet
    sheet.appendRow({Cell::number(65535), Cell::text(u"追加した𠮷の行")});
    sheet.setCell(1, 1, Cell::text(u"変えたセル"));
    EXPECT_EQ(WriteXlsFile(book, file), SaveMethod::Changes);
    ExpectReadBack(book, file, true);
}

TEST(ForeignFileTest, WrittenByXlwt) {
    Workbook model;
    model.addSheet(u"データ");
    model.addSheet(u"二枚目").appendRow({Cell(), Cell::text(u"シート"), Cell::number(0.5)});
    for (int r = 1; r <= 40; ++r) { // xlwt counts a pair as one character: none here
        model.sheet(1).appendRow(
            {Cell::number(r), Cell::text(u"日本語の題名 " + FromUtf8(std::to_string(r % 7))),
             Cell(), Cell::boolean(r % 2), Cell::error(0x2A), Cell::number(r / 3.0)});
    }
    const TempDir dir;
    WriteText(dir / "x.xls.json", ValuesOf(model).dump());
    Output("/usr/bin/python3 " TOMORINE_XLWT_WRITER " '" + (dir / "x.xls").string() + "'");
    Workbook book = ReadXlsFile(dir / "x.xls");
    ASSERT_TRUE(SameAsXlrd(model, {{"sheets", ValuesOf(book)}}));
    ExpectWholeThenChanges(book, dir / "x.xls", WriteXlsFile(book, dir / "x.xls"));
}

TEST(CorpusSaveTest, EveryFileReadIsSavedWholeThenByChanges) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "the .xls corpus is not there";
    }
    for (const auto& entry : fs::directory_iterator(CorpusDir())) {
        if (entry.path().extension() != ".xls") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        const TempDir dir;
        fs::copy_file(entry.path(), dir / "c.xls");
        Workbook book;
        SaveMethod first{};
        try { // what cannot be read, or saved (a text over a cell's limit), is refused elsewhere
            book = ReadXlsFile(dir / "c.xls");
            // A table without strings is never added to (xlrd looks for the first in the SST).
            book.sheet(1).setCell(1, 2, Cell::text(u"文字列"));
            first = WriteXlsFile(book, dir / "c.xls");
        } catch (const WorkbookError&) {
            continue;
        }
        ExpectWholeThenChanges(book, dir / "c.xls", first);
    }
}

// A sheet as LibreOffice writes it to CSV: texts quoted unless empty, every row to the last
// used column.
std::string Csv(const Sheet& sheet) {
    std::string csv;
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        for (int c = 1; c <= sheet.lastUsedColumn(); ++c) {
            const Cell& cell = sheet.cell(r, c);
            csv += (c > 1 ? "," : "") +
                   (cell.kind() == CellKind::Number ? std::to_string(int(cell.asNumber()))
                    : cell.asText().empty()         ? ""
                                                    : '"' + ToUtf8(cell.asText()) + '"');
        }
        csv += '\n';
    }
    return csv;
}

TEST(LibreOfficeTest, ReadsAWorkbookSavedByChanges) {
    std::mt19937 random(11);
    Workbook book;
    Sheet& sheet = book.addSheet(u"ブックマーク");
    for (int r = 1; r <= 300; ++r) {
        sheet.appendRow({Cell::number(r), Cell::text(RandomText(random, r % 50 ? 20 : 900)), Cell(),
                         Cell::text(kRepeated[r % 4])});
    }
    book.addSheet(u"二枚目").appendRow({Cell::text(u"二")});
    const TempDir dir;
    WriteXlsFile(book, dir / "b.xls");
    sheet.deleteRow(3);
    sheet.replaceRow(5, {Cell::number(5), Cell::text(u"更新した題名")});
    sheet.appendRow({Cell::number(301), Cell(), Cell::text(u"登録した,行")});
    EXPECT_EQ(WriteXlsFile(book, dir / "b.xls"), SaveMethod::Changes);
    Output(
        "timeout 120 soffice -env:UserInstallation=file://" + (dir / "profile").string() +
        " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true' --outdir '" +
        dir.path().string() + "' '" + (dir / "b.xls").string() + "'");
    EXPECT_EQ(ReadText(dir / "b.csv"), Csv(sheet));
}

} // namespace
} // namespace tomorine
