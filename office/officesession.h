#pragma once

#include "officecallthread.h"
#include "officeprocess.h"

#include <chrono>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <functional>
#include <memory>

// A connection to one office of our own. Every call into it is bounded in time; a call that
// runs over kills the office, and every later call fails at once.
class OfficeSession {
  public:
    using Limit = std::chrono::milliseconds;
    static constexpr Limit StartLimit{60'000};
    static constexpr Limit CallLimit{15'000};
    static constexpr Limit DocumentLimit{90'000}; // loading, printing, saving

    // Starts an office and connects to it; null when either fails.
    static std::unique_ptr<OfficeSession> Start();
    // Ends the office: asks it to quit, then kills its process group whatever the answer.
    ~OfficeSession();

    // Runs call against the office; false when it threw, ran over or the office is gone.
    bool Call(const std::function<void()>& call, Limit limit = CallLimit);

    // False once a call ran over or the office ended.
    bool Alive() const { return !broken_ && process_.IsRunning(); }
    const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return desktop_; }

  private:
    OfficeSession() = default;
    bool Connect();

    OfficeProcess process_;
    OfficeCallThread calls_;
    bool broken_ = false;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};
