#include "apps/agenda/appointment.h"

#include "apps/common/window_texts.h"
#include "store/xbase.h"

Appointment ReadAppointment(const QString& alias) {
    const auto field = [&alias](const char* name) { return FIELD(alias + "->" + name); };
    return {.date = field("DATUM").toDate(),
            .hour = field("STUN").toString(),
            .minute = field("MINU").toString(),
            .text = TrimBlanks(field("TERMIN").toString())};
}

void WriteAppointment(const Appointment& appointment) {
    REPLACE("DATUM", appointment.date);
    REPLACE("STUN", appointment.hour);
    REPLACE("MINU", appointment.minute);
    REPLACE("TERMIN", TrimBlanks(appointment.text));
    REPLACE("TINDEX", DTOC(appointment.date) + appointment.hour + appointment.minute);
}

void AppendAppointment(const Appointment& appointment) {
    DBAPPEND();
    WriteAppointment(appointment);
    DBCOMMIT();
}

bool AppendAppointments(const QList<Appointment>& appointments,
                        const std::function<bool(int appended)>& goOn) {
    ORDLISTCLEAR();
    int appended = 0;
    for (const Appointment& appointment : appointments) {
        if (!goOn(appended)) {
            DBCLOSEALLUNSAVED();
            return false;
        }
        DBAPPEND();
        WriteAppointment(appointment);
        ++appended;
    }
    DBCOMMIT();
    return true;
}
