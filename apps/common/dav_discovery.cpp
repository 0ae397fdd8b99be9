// Discovery of a DAV account's address books and calendars, and making new
// ones in its home sets.
#include "apps/common/dav_connection.h"
#include "apps/common/dav_connection_state.h"
#include "apps/common/dav_request_bodies.h"

namespace {

DavResult notFound(DavResult result, const QString& what) {
    result.problem = DavProblem::NotFound;
    result.detail += QStringLiteral(": no ") + what;
    return result;
}

// Problems that asking elsewhere on the same server would only repeat.
bool stopsDiscovery(DavProblem problem) {
    return problem == DavProblem::Offline || problem == DavProblem::Unauthorized ||
           problem == DavProblem::CertificateRefused || problem == DavProblem::PlainHttpRefused;
}

QUrl firstHref(const DavMultistatus& read, const QUrl& answered, const QString& ns,
               const QString& name) {
    for (const DavResponse& response : read.responses)
        if (const DavProperty* property = response.property(ns, name))
            if (!property->hrefs.isEmpty()) return answered.resolved(QUrl(property->hrefs.first()));
    return {};
}

}  // namespace

DavResult DavConnection::findHomes(bool addressBooks) {
    if (state_->addressBookHome.isValid() && state_->calendarHome.isValid()) return {};
    // The principal: by the well-known address first, then at the address the
    // user gave (a server without the well-known one, or a path of its own).
    const QUrl server = state_->transport.account().server;
    const QByteArray principalBody = davPropfindBody({{kDavNamespace, "current-user-principal"}});
    DavResult result;
    QUrl principal;
    for (const QUrl& start :
         {server.resolved(QUrl(addressBooks ? "/.well-known/carddav" : "/.well-known/caldav")),
          server}) {
        DavMultistatus read;
        QUrl answered;
        result = state_->exchange("PROPFIND", start, 0, principalBody, &read, &answered);
        if (stopsDiscovery(result.problem)) return result;
        principal = firstHref(read, answered, kDavNamespace, "current-user-principal");
        if (result.ok() && principal.isValid()) break;
    }
    if (!principal.isValid()) return result.ok() ? notFound(result, "principal") : result;

    DavMultistatus read;
    QUrl answered;
    result = state_->exchange("PROPFIND", principal, 0,
                              davPropfindBody({{kCardDavNamespace, "addressbook-home-set"},
                                               {kCalDavNamespace, "calendar-home-set"}}),
                              &read, &answered);
    if (!result.ok()) return result;
    state_->addressBookHome = firstHref(read, answered, kCardDavNamespace, "addressbook-home-set");
    state_->calendarHome = firstHref(read, answered, kCalDavNamespace, "calendar-home-set");
    if (!state_->addressBookHome.isValid() && !state_->calendarHome.isValid())
        return notFound(result, "home set");
    return result;
}

DavResult DavConnection::findCollections(bool addressBooks, QList<DavCollection>* found) {
    DavResult result = findHomes(addressBooks);
    if (!result.ok()) return result;
    const QUrl home = addressBooks ? state_->addressBookHome : state_->calendarHome;
    if (!home.isValid()) return notFound(result, addressBooks ? "address books" : "calendars");
    DavMultistatus read;
    QUrl answered;
    result =
        state_->exchange("PROPFIND", home, 1,
                         davPropfindBody({{kDavNamespace, "resourcetype"},
                                          {kDavNamespace, "displayname"},
                                          {kCalDavNamespace, "supported-calendar-component-set"}}),
                         &read, &answered);
    if (!result.ok()) return result;
    QList<DavCollection> collections;
    for (const DavResponse& response : read.responses) {
        DavCollection collection;
        collection.url = answered.resolved(QUrl(davCanonicalHref(answered, response.href)));
        collection.addressBook =
            response.hasChild(kCardDavNamespace, "resourcetype", "addressbook");
        const bool calendar = response.hasChild(kCalDavNamespace, "resourcetype", "calendar");
        if (collection.addressBook != addressBooks || (!addressBooks && !calendar)) continue;
        if (const DavProperty* name = response.property(kDavNamespace, "displayname"))
            collection.displayName = name->text.trimmed();
        if (collection.displayName.isEmpty())
            collection.displayName = collection.url.path().section('/', -2, -2);
        if (calendar) {
            // Without the set, a calendar takes every kind of component.
            const DavProperty* components =
                response.property(kCalDavNamespace, "supported-calendar-component-set");
            collection.events = !components || components->componentNames.contains("VEVENT");
            collection.tasks = !components || components->componentNames.contains("VTODO");
        }
        rememberCollection(collection);
        collections.append(collection);
    }
    *found = collections;
    return result;
}

DavResult DavConnection::findAddressBooks(QList<DavCollection>* books) {
    return findCollections(true, books);
}

DavResult DavConnection::findCalendars(QList<DavCollection>* calendars) {
    return findCollections(false, calendars);
}

DavResult DavConnection::makeCollection(const QString& name, bool addressBook, bool tasks,
                                        DavCollection* made) {
    DavResult result = findHomes(addressBook);
    if (!result.ok()) return result;
    const QUrl home = addressBook ? state_->addressBookHome : state_->calendarHome;
    if (!home.isValid()) return notFound(result, "home set");
    DavCollection collection;
    collection.url = home.resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(name)) + '/'));
    collection.displayName = name;
    collection.addressBook = addressBook;
    collection.events = !addressBook && !tasks;
    collection.tasks = !addressBook && tasks;
    DavRequest request{
        addressBook ? "MKCOL" : "MKCALENDAR",
        collection.url,
        addressBook ? davMakeAddressBookBody(name) : davMakeCalendarBody(name, tasks),
        {{"Content-Type", "application/xml; charset=utf-8"}}};
    result = state_->transport.send(request).result;
    if (!result.ok()) return result;
    rememberCollection(collection);
    *made = collection;
    return result;
}

DavResult DavConnection::makeAddressBook(const QString& name, DavCollection* made) {
    return makeCollection(name, true, false, made);
}

DavResult DavConnection::makeCalendar(const QString& name, bool tasks, DavCollection* made) {
    return makeCollection(name, false, tasks, made);
}
