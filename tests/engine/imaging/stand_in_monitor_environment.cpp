// Every test of this executable runs with a stand-in trace monitor bound, so that the texts the
// decoders send never reach a real monitor and never start one. Tests that read the texts bind
// their own for their duration.

#include <memory>

#include <gtest/gtest.h>

#include "tests/platform/trace/stand_in_trace_monitor.h"

namespace {

class StandInMonitorEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { monitor_ = std::make_unique<StandInTraceMonitor>(); }
    void TearDown() override { monitor_.reset(); }

  private:
    std::unique_ptr<StandInTraceMonitor> monitor_;
};

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new StandInMonitorEnvironment);

}  // namespace
