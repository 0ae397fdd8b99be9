#include "apps/agenda/appointment.h"

#include "apps/common/window_texts.h"
#include "store/record_images.h"
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
    // Whole records: the appointments of a series share their text, set once.
    RecordImage image;
    const int date = image.field("DATUM");
    const int hour = image.field("STUN");
    const int minute = image.field("MINU");
    const int text = image.field("TERMIN");
    const int key = image.field("TINDEX");
    const QString* lastText = nullptr;
    int appended = 0;
    for (const Appointment& appointment : appointments) {
        if (!goOn(appended)) {
            DBCLOSEALLUNSAVED();
            return false;
        }
        image.set(date, appointment.date);
        image.set(hour, appointment.hour);
        image.set(minute, appointment.minute);
        if (!lastText || *lastText != appointment.text) {
            image.set(text, TrimBlanks(appointment.text));
            lastText = &appointment.text;
        }
        image.set(key, DTOC(appointment.date) + appointment.hour + appointment.minute);
        DBAPPENDIMAGE(image);
        ++appended;
    }
    DBCOMMIT();
    return true;
}
