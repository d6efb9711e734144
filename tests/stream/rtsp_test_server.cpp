// A small RTSP server for the stream tests: serves a live test picture
// (Motion JPEG) and tone (mu-law) at rtsp://127.0.0.1:PORT/x until killed.
#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    gst_init(&argc, &argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelbo_rtsp_test_server PORT\n");
        return 2;
    }
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    GstRTSPServer* server = gst_rtsp_server_new();
    g_object_set(server, "address", "127.0.0.1", "service", argv[1], nullptr);
    GstRTSPMediaFactory* factory = gst_rtsp_media_factory_new();
    gst_rtsp_media_factory_set_launch(
        factory,
        "( videotestsrc is-live=true pattern=smpte"
        " ! video/x-raw,format=I420,width=320,height=240,framerate=25/1"
        " ! jpegenc ! rtpjpegpay name=pay0 pt=26"
        "  audiotestsrc is-live=true freq=440 ! audio/x-raw,rate=8000,channels=1"
        " ! mulawenc ! rtppcmupay name=pay1 pt=0 )");
    gst_rtsp_media_factory_set_shared(factory, TRUE);
    gst_rtsp_mount_points_add_factory(gst_rtsp_server_get_mount_points(server), "/x", factory);
    if (gst_rtsp_server_attach(server, nullptr) == 0) {
        std::fprintf(stderr, "cannot listen on port %s\n", argv[1]);
        return 1;
    }
    g_main_loop_run(loop);
    return 0;
}
