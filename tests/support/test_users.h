// Users and groups of the tests' own, for runs that must not be root's (a
// group member converting another user's log, links of another owner).
// They are made when missing, as root only, all named logstamp-t..., and
// left in place for later runs.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

struct TestUser {
  std::string name;
  uid_t uid = 0;
  gid_t gid = 0;  // its own group, of the same name
};

// The group, created when missing; nullopt when that cannot be done here.
std::optional<gid_t> EnsureTestGroup(const std::string& name);

// The user with a group of its own and membership of the given groups
// (made when missing); nullopt when that cannot be done here (not root,
// no useradd).
std::optional<TestUser> EnsureTestUser(const std::string& name,
                                       const std::vector<std::string>& groups = {});

// Why users cannot be made here, or "" when they can.
std::string WhyNoTestUsers();

// A wrapper (RunOptions::wrapper) that runs the program as the user, with
// its groups.
std::vector<std::string> RunAs(const TestUser& user);
