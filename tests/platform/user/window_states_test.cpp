#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "user/window.h"

namespace {

// States a window keeps: the first few in the record, the rest beside it, each
// found by its type and deleted once, newest first, when the window goes.
template <int N>
struct NumberedState {
  static inline std::vector<std::string>* deleted = nullptr;
  int value = N;
  ~NumberedState() {
    if (deleted) deleted->push_back("state " + std::to_string(N));
  }
};

// A state whose end still asks for an older state of the same window.
struct StateThatLooksBack {
  sim::Window* window = nullptr;
  std::vector<std::string>* deleted = nullptr;
  ~StateThatLooksBack() {
    if (deleted && window)
      deleted->push_back(window->findState<NumberedState<1>>() ? "looked back and found state 1"
                                                               : "looked back and found nothing");
  }
};

TEST(WindowStates, ManyStatesAreFoundByTypeAndDeletedOnceNewestFirst) {
  std::vector<std::string> deleted;
  NumberedState<1>::deleted = NumberedState<2>::deleted = NumberedState<3>::deleted = &deleted;
  NumberedState<4>::deleted = NumberedState<5>::deleted = NumberedState<6>::deleted = &deleted;
  {
    sim::Window window;
    EXPECT_EQ(window.findState<NumberedState<1>>(), nullptr);
    window.state<NumberedState<1>>().value = 10;
    window.state<NumberedState<2>>();
    window.state<NumberedState<3>>();
    window.state<NumberedState<4>>();
    auto& looksBack = window.state<StateThatLooksBack>();
    looksBack.window = &window;
    looksBack.deleted = &deleted;
    window.state<NumberedState<5>>().value = 50;
    window.state<NumberedState<6>>();
    EXPECT_EQ(window.state<NumberedState<1>>().value, 10) << "asking again gives the same state";
    EXPECT_EQ(window.findState<NumberedState<5>>()->value, 50);
    EXPECT_EQ(&window.state<StateThatLooksBack>(), &looksBack);
    window.dropStates();
    EXPECT_EQ(window.findState<NumberedState<1>>(), nullptr);
    EXPECT_EQ(window.findState<NumberedState<6>>(), nullptr);
    window.state<NumberedState<2>>().value = 20;  // a state made again after the drop
  }
  const std::vector<std::string> expected{
      "state 6", "state 5", "looked back and found state 1", "state 4", "state 3", "state 2", "state 1", "state 2"};
  EXPECT_EQ(deleted, expected);
  for (auto** list : {&NumberedState<1>::deleted, &NumberedState<2>::deleted, &NumberedState<3>::deleted,
                      &NumberedState<4>::deleted, &NumberedState<5>::deleted, &NumberedState<6>::deleted})
    *list = nullptr;
}

}  // namespace
