#include "addin_fixture.h"

#include <cstring>

using namespace kelbo::testing;

namespace {

class AddinMenu : public AddinTest {
protected:
    // Checks entry i against the template name and the command export i.
    void expectEntry(const KelboMenuItem& item, size_t i, const std::string& text) {
        SCOPED_TRACE("entry " + std::to_string(i));
        ASSERT_NE(std::memchr(item.text, '\0', sizeof item.text), nullptr);
        EXPECT_EQ(std::string(item.text), text);
        EXPECT_EQ(item.flag, 1);
        EXPECT_EQ(reinterpret_cast<void*>(item.command),
                  symbol("OnRecordCommand" + std::to_string(i)));
        EXPECT_EQ(item.hostWord, 0xEEEEEEEEu) << "the host's own word was touched";
    }
    static bool untouched(const KelboMenuItem& item) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&item);
        for (size_t i = 0; i < sizeof item; ++i)
            if (bytes[i] != 0xEE) return false;
        return true;
    }
};

TEST_F(AddinMenu, CountAndFillWorkInEitherOrder) {
    store({"Long Play", "High Quality", "DVD"});
    load();
    EXPECT_EQ(count(), 3);
    auto items = fill(3);
    expectEntry(items[0], 0, "Record with Long Play");
    expectEntry(items[1], 1, "Record with High Quality");
    expectEntry(items[2], 2, "Record with DVD");
    EXPECT_TRUE(untouched(items[3])) << "an entry beyond the count was written";

    load();  // a fresh load, fill first
    items = fill(3);
    expectEntry(items[2], 2, "Record with DVD");
    EXPECT_EQ(count(), 3);
}

TEST_F(AddinMenu, OffersAtMostTenTemplatesInStoreOrder) {
    for (int stored : {10, 12}) {
        SCOPED_TRACE(std::to_string(stored) + " templates stored");
        std::vector<std::string> names;
        for (int i = 0; i < stored; ++i) names.push_back("T" + std::to_string(stored - i));
        store(names);
        load();
        ASSERT_EQ(count(), 10);
        const auto items = fill(10);
        for (size_t i = 0; i < 10; ++i) expectEntry(items[i], i, "Record with " + names[i]);
        EXPECT_TRUE(untouched(items[10]));
    }
}

TEST_F(AddinMenu, NoSectionOrNoStoreGivesTheDefaultEntryAndWritesNothing) {
    int messages = 0;
    reinterpret_cast<KelboSetMessageCallback>(symbol(KELBO_EXPORT_SET_MESSAGE_CALLBACK))(
        [](const char*, void* n) { ++*static_cast<int*>(n); }, &messages);
    EXPECT_EQ(count(), 1);
    expectEntry(fill(1)[0], 0, "Record with DEFAULT Template");
    EXPECT_FALSE(std::filesystem::exists(dir / "config")) << "the add-in created the store";

    store({}, "Template=Best\n");  // a store without "DG Templates"
    const std::string before = readFile(storeFile());
    load();
    EXPECT_EQ(count(), 1);
    expectEntry(fill(1)[0], 0, "Record with DEFAULT Template");
    EXPECT_EQ(readFile(storeFile()), before);
    EXPECT_EQ(messages, 0);
}

TEST_F(AddinMenu, UnreadableStoreSaysCouldNotOpenKeyOncePerLoad) {
    std::filesystem::create_directories(storeFile());  // a folder where the file belongs
    std::vector<std::string> messages;
    reinterpret_cast<KelboSetMessageCallback>(symbol(KELBO_EXPORT_SET_MESSAGE_CALLBACK))(
        [](const char* text, void* list) { static_cast<std::vector<std::string>*>(list)->push_back(text); },
        &messages);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(count(), 1);
    expectEntry(fill(1)[0], 0, "Record with DEFAULT Template");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages, std::vector<std::string>{"Could not open key."});
    EXPECT_NE(err.find("Could not open key."), std::string::npos) << err;
}

TEST_F(AddinMenu, TemplatesAreReadOncePerLoad) {
    store({"First"});
    load();
    EXPECT_EQ(count(), 1);
    store({"First", "Second"});
    EXPECT_EQ(count(), 1) << "the list was read again while loaded";
    load();
    EXPECT_EQ(count(), 2);
}

TEST_F(AddinMenu, LongNamesAreCutToFitTheGuideBuffers) {
    const std::string longName(70, 'x');
    // 38 ASCII characters then a two-byte character that would straddle the cut.
    const std::string accented = std::string(38, 'a') + "\xC3\xA9" + "tail";
    store({longName, accented}, useSchedule());
    load();
    const auto items = fill(2);
    expectEntry(items[0], 0, "Record with " + std::string(39, 'x'));
    expectEntry(items[1], 1, "Record with " + std::string(38, 'a'));

    record(0, example());
    const std::string text = readFile(schedule());
    EXPECT_NE(text.find("Template     : " + std::string(63, 'x') + "\r\n"), std::string::npos) << text;
}

}  // namespace
