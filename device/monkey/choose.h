// Choosing the monkey's next step: every action that makes sense on what the
// screen shows (and on the device as a whole: starting programs, the choosers,
// files changing on the host, an injected failure) is proposed with a weight, and
// one proposal is drawn. Every proposal is a scenario step that the runner can do
// as it stands.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "monkey/file_model.h"
#include "monkey/random.h"
#include "monkey/screen.h"
#include "scenario/script.h"

namespace sim::monkey {

struct Proposal {
  int weight;
  scenario::Step step;
};

// A step of `word` with its arguments given as device text.
scenario::Step MakeStep(std::string word, const std::vector<std::u16string>& args = {});

// What the step chooser knows beside the screen.
struct Situation {
  const ScreenView& view;
  const FileSnapshot& files;
  const std::set<std::string>& armed;  // operations whose injected failure still waits for its call

  // True when none of `operations` would fail now.
  bool unarmed(std::initializer_list<const char*> operations) const;
};

// Proposals from the window in front (choose.cpp).
void ProposeScreenSteps(const Situation& situation, Random& random, std::vector<Proposal>& out);
// Proposals that work whatever is in front (choose_device.cpp).
void ProposeDeviceSteps(const Situation& situation, Random& random, std::vector<Proposal>& out);

scenario::Step ChooseStep(const Situation& situation, Random& random);

}  // namespace sim::monkey
