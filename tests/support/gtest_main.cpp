// Test entry point: GoogleTest, with a skipped test counted as a failure so that
// a test that cannot run never passes silently.
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class SkipIsFailure : public testing::EmptyTestEventListener {
public:
    void OnTestEnd(const testing::TestInfo& info) override {
        if (info.result()->Skipped()) {
            std::printf("[  FAILED  ] %s.%s was skipped; skipped tests fail this run\n",
                        info.test_suite_name(), info.name());
            ++skipped;
        }
    }
    int skipped = 0;
};

template <typename Char>
int RunTests(int argc, Char** argv) {
    testing::InitGoogleTest(&argc, argv);
    auto* listener = new SkipIsFailure;
    testing::UnitTest::GetInstance()->listeners().Append(listener);
    int result = RUN_ALL_TESTS();
    if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::printf("[  FAILED  ] no test ran; a test program without tests fails this run\n");
        return 1;
    }
    if (listener->skipped > 0) return 1;
    return result;
}

}  // namespace

// Windows test programs take their arguments in UTF-16; the native ones (orvo-pack's) as bytes.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return RunTests(argc, argv); }
#else
int main(int argc, char** argv) { return RunTests(argc, argv); }
#endif
