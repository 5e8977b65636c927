// The X session the end-to-end tests share: one X server, bus and window manager for the run.
#include "x_session.h"

#include <gtest/gtest.h>

#include <memory>

namespace e2e {

namespace {

// One X server, bus and window manager for the whole run.
class SharedSessionEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        try {
            m_session = std::make_unique<XSession>();
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
    }
    void TearDown() override { m_session.reset(); }
    XSession* Session() const { return m_session.get(); }

private:
    std::unique_ptr<XSession> m_session;
};

auto* const g_sharedSession = static_cast<SharedSessionEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new SharedSessionEnvironment));

} // namespace

XSession* SharedSession() {
    return g_sharedSession->Session();
}

} // namespace e2e
