#!/usr/bin/python3
"""A server that answers DAV requests wrongly, each path in its own way, for the client's
failure paths: python3 dav-stub.py PORT (listens on 127.0.0.1 only)."""
import sys
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


HTTPServer(('127.0.0.1', int(sys.argv[1])), Handler).serve_forever()
