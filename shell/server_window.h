// The window "Server": the contacts server's address, the user name and the
// password; "Test" finds the server's address books (off the event loop) and
// lists them, and the user keeps the private and the business book each with
// one of them, or with a new one made there on OK. A certificate that does
// not verify is shown with its fingerprint and trusted only when the user
// says so; plain http to another computer only after a warning the user
// confirms. OK keeps the account (server_account.h) and the password in the
// keyring (or, without one, for this run only).
#pragma once

void OPENFORM_SERVER();
