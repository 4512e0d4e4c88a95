// Shared pieces of the forms tests: a toolkit that counts what controls report, and an
// application on it.
#pragma once

#include <map>
#include <utility>

#include "forms/Application.h"
#include "forms/headless/HeadlessToolkit.h"

namespace forms::testing {

// The headless toolkit, also counting the change reports per component and property.
class CountingToolkit : public headless::HeadlessToolkit {
 public:
  using HeadlessToolkit::HeadlessToolkit;
  void Changed(Component& component, Property what) override {
    ++counts_[{&component, what}];
    HeadlessToolkit::Changed(component, what);
  }
  int Count(const Component& component, Property what) const {
    auto it = counts_.find({&component, what});
    return it == counts_.end() ? 0 : it->second;
  }

 private:
  std::map<std::pair<const Component*, Property>, int> counts_;
};

}  // namespace forms::testing
