#!/usr/bin/python3
"""A phone writing to a CardDAV server behind the program's back: python3-vobject
for the cards and urllib for the requests, nothing of the program's own.

    phone.py [--user U] put URL UID NAME     a new card (If-None-Match: *); prints the ETag
    phone.py [--user U] edit URL PROP VALUE  sets PROP (fn, tel, note, ...) of the card at URL
                                             (If-Match: its ETag); prints the new ETag
    phone.py [--user U] putfile URL FILE     the card of FILE (read by vobject) as a new card
    phone.py [--user U] get URL              prints the card
    phone.py [--user U] delete URL           deletes the card
    phone.py [--user U] list URL             prints "href etag" of every member
Exits 1 on an HTTP error (its status on standard error), 3 on 412.
"""
import argparse
import base64
import sys
import urllib.error
import urllib.request
import xml.etree.ElementTree as ElementTree

import vobject


def send(args, method, url, body=None, headers=None):
    request = urllib.request.Request(url, data=body, method=method, headers=headers or {})
    login = base64.b64encode(f"{args.user}:phone".encode()).decode()
    request.add_header("Authorization", "Basic " + login)
    try:
        with urllib.request.urlopen(request, timeout=30) as answer:
            return answer.headers.get("ETag", ""), answer.read()
    except urllib.error.HTTPError as error:
        print(f"{method} {url}: {error.code}", file=sys.stderr)
        sys.exit(3 if error.code == 412 else 1)


def put_card(args, url, card, etag):
    condition = {"If-Match": etag} if etag else {"If-None-Match": "*"}
    headers = {"Content-Type": "text/vcard; charset=utf-8", **condition}
    new_etag, _ = send(args, "PUT", url, card.serialize().encode(), headers)
    if not new_etag:
        new_etag, _ = send(args, "GET", url)
    print(new_etag)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--user", default="kesp")
    parser.add_argument("command", choices=["put", "putfile", "edit", "get", "delete", "list"])
    parser.add_argument("url")
    parser.add_argument("values", nargs="*")
    args = parser.parse_args()
    if args.command == "put":
        uid, name = args.values
        card = vobject.vCard()
        card.add("uid").value = uid
        card.add("fn").value = name
        card.add("n").value = vobject.vcard.Name(family=name)
        put_card(args, args.url, card, "")
    elif args.command == "putfile":
        with open(args.values[0], encoding="utf-8") as card:
            put_card(args, args.url, vobject.readOne(card.read()), "")
    elif args.command == "edit":
        prop, value = args.values
        etag, body = send(args, "GET", args.url)
        card = vobject.readOne(body.decode())
        if prop not in card.contents:
            card.add(prop)
        card.contents[prop][0].value = value
        put_card(args, args.url, card, etag)
    elif args.command == "get":
        sys.stdout.write(send(args, "GET", args.url)[1].decode())
    elif args.command == "delete":
        send(args, "DELETE", args.url)
    else:
        propfind = b'<propfind xmlns="DAV:"><prop><getetag/></prop></propfind>'
        headers = {"Depth": "1", "Content-Type": "application/xml"}
        _, body = send(args, "PROPFIND", args.url, propfind, headers)
        for response in ElementTree.fromstring(body).iter("{DAV:}response"):
            etag = response.find(".//{DAV:}getetag")
            if etag is not None and etag.text:
                print(response.find("{DAV:}href").text, etag.text)


main()
