#pragma once

#include "officecallthread.h"
#include "officeprocess.h"

#include <QDeadlineTimer>
#include <atomic>
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

    // Starts an office and connects to it in the background, without waiting; null when the
    // office program cannot be started.
    static std::unique_ptr<OfficeSession> Launch();
    // Launches an office and waits until it is connected; null when either fails.
    static std::unique_ptr<OfficeSession> Start();
    // Waits, events flowing, until the connection is made; false when it failed or ran past
    // the start limit, and the office is then ended.
    bool WaitUntilConnected();
    // Ends the office: asks it to quit, then kills its process group whatever the answer.
    ~OfficeSession();

    // Runs call against the office; false when it threw, ran over or the office is gone.
    bool Call(const std::function<void()>& call, Limit limit = CallLimit);

    // False once a call ran over or the office ended.
    bool Alive() const { return !broken_ && process_.IsRunning(); }
    // Alive, and no call into it has failed.
    bool Sound() const { return Alive() && !threw_; }
    const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return desktop_; }

  private:
    enum class Connection { Pending, Made, Failed };

    OfficeSession() = default;
    void ConnectInBackground();

    OfficeProcess process_;
    OfficeCallThread calls_;
    QDeadlineTimer startDeadline_{StartLimit};
    std::atomic<Connection> connection_ = Connection::Pending;
    std::atomic<bool> abandoned_ = false;
    bool broken_ = false;
    bool threw_ = false;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};
