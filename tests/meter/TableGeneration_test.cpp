// What a view of the core's reading table can tell from size() and generation():
// rows appended grow the size under the same generation; rows replaced advance the
// generation, also when the new table has as many rows as the old one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "record/TableFiles.h"
#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {
// A folder of its own under the temporary folder, removed with the object.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "valdrin-table-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const char* name) const { return (path / name).string(); }
};
} // namespace

TEST(TableGeneration, AppendsKeepItAndEveryReplacementAdvancesIt)
{
    ScratchFolder folder;
    ASSERT_FALSE(folder.path.empty());
    // Two rows unlike the core's own two, in both file formats.
    {
        CoreFixture source;
        source.zentor({"004703400", "004713400"});
        ASSERT_EQ(source.core.cds1.size(), 2u);
        for (const char* name : {"two.xml", "two.txt"})
            ASSERT_TRUE(SaveTableFile(source.core.cds1, folder.file(name), source.messages));
    }

    struct Case {
        const char* name;
        std::function<void(CoreFixture&)> act;
        std::size_t size;
        bool replaced;
    };
    const Case cases[] = {
        {"a recorded frame", [](CoreFixture& f) { f.zentor({"123461121"}); }, 3, false},
        {"RecordNew", [](CoreFixture& f) { f.core.RecordNewClick(); }, 0, true},
        {"XML load of as many rows",
         [&](CoreFixture& f) { LoadTableFile(folder.file("two.xml"), f.core.cds1, false, f.messages); }, 2, true},
        {"text load of as many rows, emptied first",
         [&](CoreFixture& f) { LoadTableFile(folder.file("two.txt"), f.core.cds1, true, f.messages); }, 2, true},
        {"text load added to the rows",
         [&](CoreFixture& f) { LoadTableFile(folder.file("two.txt"), f.core.cds1, false, f.messages); }, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CoreFixture f;
        f.zentor({"123451121", "123451125"});
        ASSERT_EQ(f.core.cds1.size(), 2u);
        const uint64_t generation = f.core.cds1.generation();
        c.act(f);
        EXPECT_EQ(f.core.cds1.size(), c.size);
        EXPECT_EQ(f.core.cds1.generation() != generation, c.replaced);
        EXPECT_TRUE(f.messages.errors.empty());
    }
}
