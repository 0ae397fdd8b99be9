#pragma once
// The fixture of the WebDAV tests: one real server of the kind the case is
// instantiated with, a connection logged in to it, and cards put through it.
#include <gtest/gtest.h>

#include <memory>

#include "apps/common/dav_connection.h"
#include "tests/sync/dav_test_server.h"

class DavServerTest : public testing::TestWithParam<DavServerKind> {
  protected:
    void SetUp() override {
        server_ = std::make_unique<DavTestServer>(GetParam());
        if (!server_->installed()) GTEST_SKIP() << server_->problem().toStdString();
        ASSERT_TRUE(server_->running()) << server_->problem().toStdString();
        connection_ = std::make_unique<DavConnection>(server_->account());
    }

    DavCollection makeBook(const QString& name) {
        DavCollection book;
        const DavResult made = connection_->makeAddressBook(name, &book);
        EXPECT_TRUE(made.ok()) << made.detail.toStdString();
        return book;
    }

    static QByteArray card(const QString& uid, const QString& name) {
        return QStringLiteral(
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:%2\r\nN:%2;;;;\r\n"
                   "END:VCARD\r\n")
            .arg(uid, name)
            .toUtf8();
    }

    // Puts a new card into `book`; its href (canonical), its ETag in *etag.
    QString putCard(const DavCollection& book, const QString& uid, QByteArray* etag = nullptr) {
        const QString href = book.url.path() + uid + ".vcf";
        QByteArray answered;
        const DavResult put =
            connection_->put(href, card(uid, "Name " + uid), "text/vcard", {}, &answered);
        EXPECT_TRUE(put.ok()) << put.detail.toStdString();
        if (etag) *etag = answered;
        return davCanonicalHref(book.url, href);
    }

    std::unique_ptr<DavTestServer> server_;
    std::unique_ptr<DavConnection> connection_;
};

#define KESP_DAV_SERVERS(suite)                                                            \
    INSTANTIATE_TEST_SUITE_P(                                                              \
        Servers, suite, testing::Values(DavServerKind::Radicale, DavServerKind::Xandikos), \
        [](const auto& info) { return davServerName(info.param).toStdString(); })
