// Messaging inside the engine halvik: the start steps and executors that
// engine/plugins_win.cpp puts into its tables.
//
//   mail watcher   a thread with the hidden window "メール受信" (class
//                  "MAILRCV=CLASS") and timer 9 of 30 s; each tick checks the
//                  mailbox with the tables of that moment, sends one 701 per
//                  mail direct-action step and then 116 with the matched events
//   net listeners  one thread per distinct port of the net receive events,
//                  hidden window "ネット受信" (class "NETRCV-CLASS"), socket
//                  notifications as message 2900; 701 per direct step, then 118
//   mail send      on the rule runner's thread; returns when the dialogue ends
//   FTP upload     on a thread of its own, with its own copy of the inputs
//   net send       on a thread of its own, with its own copy of the inputs
//
// HALVIK_NET_BIND (a dotted address) binds the listeners to that address
// instead of every local address (the tests keep them on 127.0.0.1).
#pragma once

#include "engine/plugin.h"

namespace halvik::messaging {

void StartMailWatcher(const engine::TablesPtr& tables, const engine::EngineEnv& env);
void StartNetListeners(const engine::TablesPtr& tables, const engine::EngineEnv& env);

void RunMailSendAction(const engine::ActionCall& call);
void RunFtpAction(const engine::ActionCall& call);
void RunNetSendAction(const engine::ActionCall& call);

}  // namespace halvik::messaging
