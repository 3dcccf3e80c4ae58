#include "officesession.h"

#include "events.h"
#include "unovalues.h"

#include <QDeadlineTimer>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>
#include <thread>

using namespace css;

namespace {
// Our side of the bridge, made once per program from the office's own type and service
// registries.
uno::Reference<uno::XComponentContext> LocalContext() {
    static const uno::Reference<uno::XComponentContext> context = [] {
        // The office's API types too, or the bridge gives up on the first one it meets.
        rtl::Bootstrap::set("URE_MORE_TYPES", "file://" PELLORY_OFFICE_PROGRAM "/types/offapi.rdb");
        return cppu::defaultBootstrap_InitialComponentContext(
            ToOUString(QStringLiteral("file://" PELLORY_OFFICE_PROGRAM "/unorc")));
    }();
    return context;
}
} // namespace

std::unique_ptr<OfficeSession> OfficeSession::Launch() {
    std::unique_ptr<OfficeSession> session(new OfficeSession);
    if (!session->process_.Start())
        return nullptr;
    session->ConnectInBackground();
    return session;
}

std::unique_ptr<OfficeSession> OfficeSession::Start() {
    std::unique_ptr<OfficeSession> session = Launch();
    if (!session || !session->WaitUntilConnected())
        return nullptr;
    return session;
}

OfficeSession::~OfficeSession() {
    if (connection_ != Connection::Made) {
        abandoned_ = true;
        process_.Kill(); // a connection attempt waiting on it gives up at once
    } else if (!broken_) {
        Call([this] { desktop_->terminate(); });
        process_.WaitForExit(static_cast<int>(CallLimit.count()));
    }
    // The references die before the office does, while the bridge can still release them.
    Call([this] {
        desktop_.clear();
        context_.clear();
    });
    process_.Kill();
}

bool OfficeSession::Call(const std::function<void()>& call, Limit limit) {
    if (broken_)
        return false;
    bool threw = false;
    const bool inTime = calls_.Run(
        [&] {
            try {
                call();
            } catch (const uno::Exception& error) {
                qWarning("Office call failed: %s", qPrintable(ToQString(error.Message)));
                threw = true;
            } catch (const std::exception& error) {
                qWarning("Office call failed: %s", error.what());
                threw = true;
            } catch (...) {
                // Such as cppu::BootstrapException when our side of the bridge cannot start.
                qWarning("Office call failed");
                threw = true;
            }
        },
        limit, [this] { process_.Kill(); });
    if (!inTime)
        broken_ = true;
    threw_ = threw_ || threw;
    return inTime && !threw;
}

// The office takes a while to open its pipe: the call thread keeps trying until it does, the
// start limit passes or the session gives up on it.
void OfficeSession::ConnectInBackground() {
    const rtl::OUString url = ToOUString(process_.ConnectUrl());
    calls_.Post([this, url] {
        Connection outcome = Connection::Failed;
        while (!abandoned_ && !startDeadline_.hasExpired()) {
            try {
                auto resolver = bridge::UnoUrlResolver::create(LocalContext());
                context_.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
                desktop_ = frame::Desktop::create(context_);
                outcome = Connection::Made;
                break;
            } catch (const connection::NoConnectException&) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            } catch (const uno::Exception& error) {
                qWarning("Office connection failed: %s", qPrintable(ToQString(error.Message)));
                break;
            } catch (...) {
                qWarning("Office connection failed");
                break;
            }
        }
        connection_ = outcome;
    });
}

bool OfficeSession::WaitUntilConnected() {
    WaitLettingEventsRun(static_cast<int>(startDeadline_.remainingTime()), [this] {
        return connection_ != Connection::Pending || !process_.IsRunning();
    });
    if (connection_ == Connection::Made && !broken_)
        return true;
    abandoned_ = true;
    broken_ = true;
    process_.Kill();
    return false;
}
