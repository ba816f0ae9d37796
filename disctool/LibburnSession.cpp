// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/LibburnSession.h"

#include <cstring>
#include <libburn/libburn.h>

namespace disctool {

LibburnSession::LibburnSession() {
    initialised_ = burn::burn_initialize() != 0;
    if (initialised_) {
        burn::burn_msgs_set_severities(const_cast<char*>("ALL"), const_cast<char*>("NEVER"),
                                       const_cast<char*>(""));
    }
}

LibburnSession::~LibburnSession() {
    if (initialised_) {
        burn::burn_finish();
    }
}

int LibburnSession::severityRank(const char* name) {
    int rank = 0;
    burn::burn_text_to_sev(const_cast<char*>(name), &rank, 0);
    return rank;
}

const std::vector<LibburnMessage>& LibburnSession::messages() {
    collectMessages();
    return messages_;
}

void LibburnSession::forgetMessages() {
    collectMessages();
    messages_.clear();
}

std::string LibburnSession::explanation() {
    return explain(messages());
}

void LibburnSession::collectMessages() {
    if (!initialised_) {
        return;
    }
    std::string text(BURN_MSGS_MESSAGE_LEN, '\0');
    char severity[80] = {};
    for (;;) {
        LibburnMessage message;
        if (burn::burn_msgs_obtain(const_cast<char*>("ALL"), &message.code, text.data(),
                                   &message.osErrno, severity) <= 0) {
            break;
        }
        message.text = text.c_str();
        message.severity = severityRank(severity);
        messages_.push_back(std::move(message));
    }
}

std::string LibburnSession::explain(const std::vector<LibburnMessage>& messages) {
    const int note = severityRank("NOTE");
    const LibburnMessage* best = nullptr;
    for (const LibburnMessage& message : messages) {
        // Below NOTE: progress and debugging chatter. Among equals the first
        // one went wrong first; later ones tend to be its consequences.
        if (message.severity >= note && (best == nullptr || message.severity > best->severity)) {
            best = &message;
        }
    }
    if (best == nullptr) {
        return {};
    }
    std::string text = best->text;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (best->osErrno != 0) {
        text += " (" + std::string(std::strerror(best->osErrno)) + ")";
    }
    return text;
}

} // namespace disctool
