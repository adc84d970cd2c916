// A debug adapter client for tests: the adapter serves on a thread of its
// own, reading what the test writes into a pipe, and every message it sends
// is kept in order; the test waits for the response to a request or for the
// next event of a name.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "dbg/adapter.h"

namespace oxel::dbg {

// Bytes written by the test, read by the adapter; read() waits for them.
class Pipe final : public protocol::ByteSource {
public:
    std::size_t read(char* buffer, std::size_t count) override {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !bytes_.empty() || closed_; });
        const std::size_t taken = std::min(count, bytes_.size());
        bytes_.copy(buffer, taken);
        bytes_.erase(0, taken);
        return taken;
    }
    void write(std::string_view bytes) {
        std::lock_guard lock(mutex_);
        bytes_ += bytes;
        ready_.notify_all();
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        ready_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::string bytes_;
    bool closed_ = false;
};

class AdapterSession {
public:
    using json = nlohmann::json;

    AdapterSession()
        : server_([this] {
              serve_adapter(input_, [this](std::string_view header, std::string_view body) {
                  EXPECT_EQ(header, protocol::frame_header(body));
                  std::lock_guard lock(mutex_);
                  messages_.push_back(json::parse(body));
                  all_.push_back(messages_.back());
                  arrived_.notify_all();
              });
              std::lock_guard lock(mutex_);
              served_ = true;
              arrived_.notify_all();
          }) {}
    ~AdapterSession() {
        input_.close();
        server_.join();
    }

    void write(std::string_view bytes) { input_.write(bytes); }
    // Sends a request; returns its seq.
    int request(std::string_view command, json arguments = json::object()) {
        const json message = {{"seq", ++seq_}, {"type", "request"}, {"command", command}, {"arguments", arguments}};
        const std::string body = message.dump();
        input_.write(protocol::frame_header(body) + body);
        return seq_;
    }
    // The response to request `seq`; the events before it stay to be taken.
    json response(int seq) {
        return take([&](const json& m) { return m["type"] == "response" && m["request_seq"] == seq; });
    }
    // Sends a request and returns its response.
    json ask(std::string_view command, json arguments = json::object()) {
        return response(request(command, std::move(arguments)));
    }
    // The next event named `event`, and everything before it is dropped.
    json event(std::string_view event) {
        return take([&](const json& m) { return m["type"] == "event" && m["event"] == event; }, true);
    }
    // What the program wrote so far to one stream, from the output events.
    std::string output(std::string_view category) {
        std::lock_guard lock(mutex_);
        std::string text;
        for (const json& m : all_)
            if (m["type"] == "event" && m["event"] == "output" && m["body"]["category"] == category)
                text += m["body"]["output"].get<std::string>();
        return text;
    }
    // Whether the adapter has stopped serving.
    bool served() {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return served_; });
    }

private:
    template <typename Match>
    json take(Match match, bool drop_before = false) {
        std::unique_lock lock(mutex_);
        json found;
        const bool arrived = arrived_.wait_for(lock, std::chrono::seconds(10), [&] {
            for (auto m = messages_.begin(); m != messages_.end(); ++m) {
                if (match(*m)) {
                    found = *m;
                    if (drop_before)
                        messages_.erase(messages_.begin(), m + 1);
                    else
                        messages_.erase(m);
                    return true;
                }
            }
            return false;
        });
        if (!arrived) {
            ADD_FAILURE() << "no such message; waiting: " << json(messages_).dump();
            return json::object();
        }
        return found;
    }

    Pipe input_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<json> messages_;
    std::deque<json> all_;  // every message, in order
    bool served_ = false;
    int seq_ = 0;
    std::thread server_;
};

}  // namespace oxel::dbg
