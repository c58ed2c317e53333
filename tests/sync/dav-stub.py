#!/usr/bin/python3
"""A server that answers DAV requests wrongly, each path in its own way, for the client's
failure paths: python3 dav-stub.py PORT (listens on 127.0.0.1 only).

python3 dav-stub.py PORT UPSTREAM passes every request on to the server at UPSTREAM (an
http://127.0.0.1:... address) and its answer back, except that it refuses sync-collection
reports the way a server without incremental listing (RFC 6578) does: 403 with the
DAV:supported-report precondition. A client then has to list the collection whole."""
import http.client
import sys
import urllib.parse
from http.server import BaseHTTPRequestHandler, HTTPServer

GOOD = ('<?xml version="1.0" encoding="utf-8"?>\n<d:multistatus xmlns:d="DAV:">'
        '<d:response><d:href>/book/a.vcf</d:href><d:propstat><d:prop><d:getetag>"1"</d:getetag>'
        '</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>'
        '<d:response><d:href>/book/b.vcf</d:href><d:propstat><d:prop><d:getetag>"2"</d:getetag>'
        '</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>'
        '</d:multistatus>\n')

# path: (status, content type, body, extra headers)
ANSWERS = {
    '/good/': (207, 'application/xml', GOOD, {}),
    '/malformed/': (207, 'application/xml', GOOD.replace('</d:getetag>', '</d:etag>', 1), {}),
    '/cut/': (207, 'application/xml', GOOD[:len(GOOD) * 2 // 3], {}),
    '/html/': (200, 'text/html', '<html><body><h1>Přihlášení</h1></body></html>', {}),
    '/error/': (500, 'text/plain', 'database is locked', {}),
    '/loop-a/': (301, 'text/plain', '', {'Location': '/loop-b/'}),
    '/loop-b/': (307, 'text/plain', '', {'Location': '/loop-a/'}),
    '/moved/': (308, 'text/plain', '', {'Location': '/good/'}),
    '/rejected/a.vcf': (415, 'text/plain', 'vCard 2.1 není podporována', {}),
    # A card refused for what it is, with the precondition named (Xandikos answers so): no
    # change made meanwhile, for all its 412.
    '/refused/a.vcf': (412, 'text/xml', '<?xml version="1.0" encoding="utf-8"?>\n'
                       '<d:error xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">'
                       '<c:valid-address-data/><d:responsedescription>Neplatná vizitka'
                       '</d:responsedescription></d:error>', {}),
    '/stale/a.vcf': (412, 'text/plain', '', {}),
    # A PUT into a collection that is not there.
    '/gone/a.vcf': (409, 'text/plain', 'Conflict', {}),
}
# Chains of as many redirects as a client follows (near) and one more (far).
for chain, length in (('near', 4), ('far', 5)):
    for n in range(length):
        ANSWERS['/%s-%d/' % (chain, n)] = (302, 'text/plain', '',
                                           {'Location': '/%s-%d/' % (chain, n + 1)})
    ANSWERS['/%s-%d/' % (chain, length)] = (301, 'text/plain', '', {'Location': '/good/'})


UNSUPPORTED = ('<?xml version="1.0" encoding="utf-8"?>\n'
               '<d:error xmlns:d="DAV:"><d:supported-report/></d:error>\n')
# The headers a DAV request carries that the upstream server acts on.
PASSED = ('Authorization', 'Content-Type', 'Depth', 'If-Match', 'If-None-Match', 'Prefer')
# The headers of its answer a DAV client reads.
RETURNED = ('Content-Type', 'ETag', 'Location', 'DAV')


class Forwarder(BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    upstream = None

    def connection_to_upstream(self):
        if Forwarder.upstream is None:
            address = urllib.parse.urlsplit(sys.argv[2])
            Forwarder.upstream = http.client.HTTPConnection(address.hostname, address.port)
        return Forwarder.upstream

    def send(self, status, headers, data):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def answer(self):
        length = int(self.headers.get('Content-Length') or 0)
        body = self.rfile.read(length) if length else b''
        if self.command == 'REPORT' and b'sync-collection' in body:
            self.send(403, [('Content-Type', 'application/xml; charset=utf-8')],
                      UNSUPPORTED.encode('utf-8'))
            return
        headers = {name: self.headers[name] for name in PASSED if self.headers[name]}
        for attempt in range(2):
            connection = self.connection_to_upstream()
            try:
                connection.request(self.command, self.path, body, headers)
                response = connection.getresponse()
                data = response.read()
                break
            except (http.client.HTTPException, OSError):
                # The upstream server closed the kept connection: once more on a new one.
                connection.close()
                Forwarder.upstream = None
                if attempt:
                    raise
        self.send(response.status,
                  [(name, response.getheader(name)) for name in RETURNED if response.getheader(name)],
                  data)

    do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_MKCOL = do_OPTIONS = answer

    def log_message(self, *args):
        pass


class Handler(BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def answer(self):
        length = int(self.headers.get('Content-Length') or 0)
        if length:
            self.rfile.read(length)
        status, kind, body, extra = ANSWERS.get(self.path, (404, 'text/plain', 'nic', {}))
        # The listing answers only a PROPFIND with its body: a redirect that turned the
        # request into a GET, or dropped the body, is caught here.
        if self.path == '/good/' and (self.command != 'PROPFIND' or not length):
            status, kind, body, extra = 405, 'text/plain', 'not a PROPFIND', {}
        data = body.encode('utf-8')
        self.send_response(status)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(data)))
        for name, value in extra.items():
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(data)

    do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = answer

    def log_message(self, *args):
        pass


HTTPServer(('127.0.0.1', int(sys.argv[1])),
           Forwarder if len(sys.argv) > 2 else Handler).serve_forever()
