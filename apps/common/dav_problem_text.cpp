#include "apps/common/dav_problem_text.h"

#include "kernel/texts.h"

QString DavProblemText(const DavResult& result, const QUrl& server) {
    const QString host = server.host().isEmpty() ? server.toString() : server.host();
    switch (result.problem) {
        case DavProblem::None:
            return {};
        case DavProblem::Offline:
            return TEXT({"Der Server %1 ist nicht erreichbar. Die Änderungen warten bis zum "
                         "nächsten Abgleich.",
                         "The server %1 cannot be reached. The changes wait for the next sync.",
                         "O servidor %1 não está acessível. As alterações aguardam a próxima "
                         "sincronização."})
                .arg(host);
        case DavProblem::Unauthorized:
            return TEXT({"Der Server %1 hat Benutzername oder Kennwort abgelehnt.",
                         "The server %1 refused the user name or password.",
                         "O servidor %1 recusou o nome de usuário ou a senha."})
                .arg(host);
        case DavProblem::CertificateRefused:
            return TEXT({"Dem Zertifikat des Servers %1 wird nicht vertraut (Fingerabdruck "
                         "SHA-256: %2). Prüfen Sie ihn und vertrauen Sie ihm im Fenster "
                         "„Server“, wenn er stimmt.",
                         "The certificate of the server %1 is not trusted (SHA-256 fingerprint: "
                         "%2). Check it, and trust it in the “Server” window if it is right.",
                         "O certificado do servidor %1 não é confiável (impressão digital "
                         "SHA-256: %2). Verifique-a e confie nela na janela “Servidor” se "
                         "estiver correta."})
                .arg(host, QString::fromLatin1(result.certificateFingerprint));
        case DavProblem::PlainHttpRefused:
            return TEXT({"Unverschlüsseltes http zu %1 wurde nicht bestätigt; nichts wurde "
                         "gesendet.",
                         "Plain http to %1 was not confirmed; nothing was sent.",
                         "http sem criptografia para %1 não foi confirmado; nada foi enviado."})
                .arg(host);
        case DavProblem::NotFound:
            return TEXT({"Der Server %1 kennt die Adresse nicht: %2",
                         "The server %1 does not know the address: %2",
                         "O servidor %1 não conhece o endereço: %2"})
                .arg(host, result.detail);
        default:
            return TEXT({"Der Server %1 antwortete mit einem Fehler: %2",
                         "The server %1 answered with an error: %2",
                         "O servidor %1 respondeu com um erro: %2"})
                .arg(host, result.detail);
    }
}
