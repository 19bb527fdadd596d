// Each run of File > Open has exactly one TM2BC alive while it waits in
// its dialogs, and none once it has returned.
//
// TM2BC has no state that could be watched, so this test replaces the
// global allocator: while armed it keeps the blocks of TM2BC's size that
// are alive, and counts those whose first word is TM2BC's virtual table,
// as a live TM2BC's is.

#include "support/MainForm.h"
#include "support/Pictures.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The live blocks of TM2BC's size allocated while armed: an open-addressing
// set of pointers behind a spin lock (the allocator may be entered from any
// thread and must not allocate itself).
class LiveBlocks {
public:
    void arm() { armed_ = true; }
    void disarm() { armed_ = false; }

    void added(void* block, std::size_t size)
    {
        if (!armed_ || size != sizeof(TM2BC))
            return;
        Guard guard(lock_);
        std::size_t i = slot(block);
        while (slots_[i] != nullptr)
            i = (i + 1) % kSlots;
        slots_[i] = block;
    }

    void removed(void* block)
    {
        Guard guard(lock_);
        std::size_t i = slot(block);
        while (slots_[i] != nullptr && slots_[i] != block)
            i = (i + 1) % kSlots;
        if (slots_[i] == nullptr)
            return;
        slots_[i] = nullptr;
        // Move later members of the run back so that no lookup stops early.
        for (std::size_t j = (i + 1) % kSlots; slots_[j] != nullptr; j = (j + 1) % kSlots) {
            void* moved = std::exchange(slots_[j], nullptr);
            std::size_t k = slot(moved);
            while (slots_[k] != nullptr)
                k = (k + 1) % kSlots;
            slots_[k] = moved;
        }
    }

    int liveConverters()
    {
        TM2BC probe;
        void* table = nullptr;
        std::memcpy(&table, static_cast<void*>(&probe), sizeof table);
        Guard guard(lock_);
        int count = 0;
        for (void* block : slots_) {
            void* first = nullptr;
            if (block != nullptr)
                std::memcpy(&first, block, sizeof first);
            count += block != nullptr && first == table ? 1 : 0;
        }
        return count;
    }

private:
    static constexpr std::size_t kSlots = 1u << 16;

    struct Guard {
        explicit Guard(std::atomic_flag& lock) : lock_(lock)
        {
            while (lock_.test_and_set(std::memory_order_acquire)) {
            }
        }
        ~Guard() { lock_.clear(std::memory_order_release); }
        std::atomic_flag& lock_;
    };

    static std::size_t slot(void* block) { return (reinterpret_cast<std::uintptr_t>(block) >> 4) % kSlots; }

    std::atomic<bool> armed_{false};
    std::atomic_flag lock_ = ATOMIC_FLAG_INIT;
    void* slots_[kSlots] = {};
};

LiveBlocks& liveBlocks()
{
    static LiveBlocks blocks;
    return blocks;
}

}  // namespace

// The whole family is replaced, so that no block passes between this
// allocator and another one (a sanitizer's, say).
void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    liveBlocks().added(block, size);
    return block;
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

void operator delete(void* block) noexcept
{
    if (block != nullptr)
        liveBlocks().removed(block);
    std::free(block);
}

void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
void operator delete[](void* block, std::size_t) noexcept { operator delete(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { operator delete(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { operator delete(block); }

namespace {

using namespace viewertest;

class ConverterLifetime : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        liveBlocks().arm();
    }
    void TearDown() override
    {
        liveBlocks().disarm();
        MainFormTest::TearDown();
    }

    // Notes the live converters, then answers as `answer` does.
    ModalDriver::Answer counting(ModalDriver::Answer answer)
    {
        return [this, answer](QWidget* dialog) {
            whileWaiting.push_back(liveBlocks().liveConverters());
            answer(dialog);
        };
    }

    std::vector<int> whileWaiting;
    magtest::TempDir files;
};

TEST_F(ConverterLifetime, OneConverterLivesForEachRunConfirmedOrCancelled)
{
    const std::string good = files.write("good.mag", magtest::buildMag(randomPicture(0x00, 64, 32)));
    const std::string cut = files.write("cut.mag", magtest::buildMag(areasPastEnd()));
    dialogs()
        .then(counting(pressEscape()))
        .then(counting(typeFileName(QString::fromStdString(good))))
        .then(counting(typeFileName(QString::fromStdString(cut))))
        .then(counting(pressEnter()))
        .then(counting(pressEnter()));

    std::vector<int> afterwards;
    for (int run = 0; run < 3; ++run) {
        chooseFromFileMenu(Qt::Key_O);
        afterwards.push_back(liveBlocks().liveConverters());
    }

    EXPECT_EQ(whileWaiting, (std::vector<int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(afterwards, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(dialogs().seen().size(), 5u);
}

}  // namespace
