// Every test of the binary starts from the show's start-up state, as in a fresh process,
// so the tests pass in one process, in any order and repeated.
#include <gtest/gtest.h>

#include "app/show_state.h"

namespace {

class FreshShowState : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { resetShowState(); }
};

const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FreshShowState);
    return true;
}();

}  // namespace
