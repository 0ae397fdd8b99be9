// The user's own application: the records window "myapp_frm" over
// "kespfree.dbf", whose ten fields and title carry the names stored in
// "myfields.dbf", and the standard window "freemyapp" in which the user
// names them, both with the seven templates.
#pragma once

void OPENFORM_MYAPP();        // opens the records window (modal)
void OPENFORM_MYAPPCONFIG();  // opens the naming window (beside the main window)
