// The account lookup against the game server's own account file.
#pragma once

#include <string>

#include "service/protocol/session.h"

namespace protocol {

// Checks a user name and password against "gyrionaccu.scp"; returns the
// LoginResult. Also records where the two account files are.
int FindAccount(const std::string& user, const std::string& password);

// The account file that GACT sends ("gyrionaccu.scp") and the one that SACT
// replaces ("gyrionacct.scp"), as the last login found them; empty before.
std::string AccountReadPath();
std::string AccountWritePath();

}  // namespace protocol
